// A dictionary file as bytes: its lines, each with the line end it had, so
// that a file written back differs from the one read only in the lines that
// were changed on purpose.
#ifndef ZEL_TRX_TRXFILE_H
#define ZEL_TRX_TRXFILE_H

#include <string>
#include <vector>

namespace zel::trxtool {

struct TrxFile {
  std::string path;
  // Each line without its line feed; a carriage return before the line feed
  // stays part of the line, as it does for the reader.
  std::vector<std::string> lines;
  // Whether the last line ended with a line feed (true for an empty file).
  bool endsWithNewline = true;

  // The lines and their line feeds, exactly as they were read.
  std::string bytes() const;
};

// Reads a whole file; throws ToolError naming it when it cannot be read.
TrxFile loadTrxFile(const std::string& path);

// Throws ToolError naming `where` unless `language` occurs in a translation
// tag of `file` or has the shape of a language code, so that a typing error
// does not pass for a new language.
void requireUsableLanguage(const TrxFile& file, const std::string& language,
                           const std::string& where);

}  // namespace zel::trxtool

#endif  // ZEL_TRX_TRXFILE_H
