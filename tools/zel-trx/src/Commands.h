// The three subcommands of zel-trx. Each returns the exit status (0 done,
// 1 done with something to report: a missing required translation, a problem
// under --strict, messages that could not be merged, a merge refused) and throws ToolError for bad input, which the
// caller turns into status 2. Reports go to `out`, warnings to `err`.
#ifndef ZEL_TRX_COMMANDS_H
#define ZEL_TRX_COMMANDS_H

#include <ostream>
#include <string>
#include <vector>

namespace zel::trxtool {

struct CheckOptions {
  std::string trxPath;
  std::vector<std::string> languages;  // empty: every language of the file
  std::vector<std::string> required;   // status 1 when one misses a translation
  bool strict = false;                 // status 1 on any problem of a language
};
int runCheck(const CheckOptions& options, std::ostream& out, std::ostream& err);

struct ToPoOptions {
  std::string trxPath;
  std::string language;
  std::string output = "-";  // "-": standard output
};
int runToPo(const ToPoOptions& options, std::ostream& out, std::ostream& err);

struct FromPoOptions {
  std::string trxPath;
  std::string poPath;
  std::string output;  // empty: the dictionary file itself
};
int runFromPo(const FromPoOptions& options, std::ostream& out, std::ostream& err);

}  // namespace zel::trxtool

#endif  // ZEL_TRX_COMMANDS_H
