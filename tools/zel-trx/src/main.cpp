// zel-trx: checks ".trx" dictionary files and converts one language of them
// to and from gettext PO files, for translators and their editors.
// Exit status: 0 done, 1 done with findings (see Commands.h), 2 bad input.
#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"
#include "Output.h"
#include "ToolError.h"

namespace {

using zel::trxtool::ToolError;

// A mistake in the command line itself: reported with the usage.
class UsageError : public ToolError {
 public:
  using ToolError::ToolError;
};

constexpr const char* kUsage =
    "usage:\n"
    "  zel-trx check FILE.trx [--lang CODE]... [--require CODE]... [--strict]\n"
    "      what each language of FILE.trx holds and which lines need a look;\n"
    "      exit status 1 when a required language misses a translation, or,\n"
    "      with --strict, when any problem is reported\n"
    "  zel-trx to-po FILE.trx --lang CODE [-o OUT.po]\n"
    "      one language as a PO file (standard output without -o)\n"
    "  zel-trx from-po FILE.trx IN.po [-o OUT.trx]\n"
    "      merges the translations of IN.po (its language from its header)\n"
    "      into FILE.trx, or into OUT.trx; never changes what another language\n"
    "      of the file reads\n";

// The arguments after the subcommand: positional ones, options with one
// value each ("--lang CODE" or "--lang=CODE") and flags ("--strict").
struct Arguments {
  std::vector<std::string> positional;
  std::vector<std::string> flags;
  std::vector<std::pair<std::string, std::string>> options;

  std::vector<std::string> all(const std::string& name) const {
    std::vector<std::string> values;
    for (const auto& [option, value] : options) {
      if (option == name) values.push_back(value);
    }
    return values;
  }
  std::optional<std::string> one(const std::string& name) const {
    const std::vector<std::string> values = all(name);
    if (values.size() > 1) throw UsageError("option " + name + " given more than once");
    if (values.empty()) return std::nullopt;
    return values.front();
  }
};

Arguments parse(int argc, char** argv, const std::vector<std::string>& known,
                const std::vector<std::string>& flags = {}) {
  Arguments arguments;
  for (int i = 2; i < argc; ++i) {
    std::string word = argv[i];
    if (word.size() < 2 || word[0] != '-') {
      arguments.positional.push_back(word);
      continue;
    }
    std::optional<std::string> value;
    if (const std::size_t equals = word.find('='); equals != std::string::npos) {
      value = word.substr(equals + 1);
      word.erase(equals);
    }
    if (std::find(flags.begin(), flags.end(), word) != flags.end()) {
      if (value) throw UsageError("option " + word + " takes no value");
      arguments.flags.push_back(word);
      continue;
    }
    bool isKnown = false;
    for (const std::string& name : known) isKnown = isKnown || name == word;
    if (!isKnown) throw UsageError("unknown option " + word);
    if (!value) {
      if (i + 1 >= argc) throw UsageError("option " + word + " needs a value");
      value = argv[++i];
    }
    arguments.options.emplace_back(word, *value);
  }
  return arguments;
}

void requirePositional(const Arguments& arguments, std::size_t count, const std::string& command) {
  if (arguments.positional.size() != count) {
    throw UsageError(command + " takes " + std::to_string(count) + " file name" +
                    (count == 1 ? "" : "s") + ", not " +
                    std::to_string(arguments.positional.size()));
  }
}

int run(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "--help" || command == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (command == "check") {
    const Arguments arguments = parse(argc, argv, {"--lang", "--require"}, {"--strict"});
    requirePositional(arguments, 1, command);
    return zel::trxtool::runCheck({arguments.positional[0], arguments.all("--lang"),
                                   arguments.all("--require"), !arguments.flags.empty()},
                                  std::cout, std::cerr);
  }
  if (command == "to-po") {
    const Arguments arguments = parse(argc, argv, {"--lang", "-o"});
    requirePositional(arguments, 1, command);
    const auto language = arguments.one("--lang");
    if (!language) throw UsageError("to-po needs --lang CODE");
    return zel::trxtool::runToPo(
        {arguments.positional[0], *language, arguments.one("-o").value_or("-")}, std::cout,
        std::cerr);
  }
  if (command == "from-po") {
    const Arguments arguments = parse(argc, argv, {"-o"});
    requirePositional(arguments, 2, command);
    return zel::trxtool::runFromPo(
        {arguments.positional[0], arguments.positional[1], arguments.one("-o").value_or("")},
        std::cout, std::cerr);
  }
  throw UsageError(command.empty() ? "no command given" : "unknown command " + command);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const int status = run(argc, argv);
    // A report that did not arrive is a failure, even when the work was done.
    zel::trxtool::finishStandardOutput();
    return status;
  } catch (const UsageError& error) {
    std::cerr << "zel-trx: " << error.what() << "\n" << kUsage;
    return 2;
  } catch (const ToolError& error) {
    std::cout.flush();
    std::cerr << "zel-trx: " << error.what() << "\n";
    return 2;
  } catch (const std::exception& error) {
    std::cerr << "zel-trx: " << error.what() << "\n";
    return 2;
  }
}
