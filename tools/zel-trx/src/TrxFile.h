// A dictionary file as bytes: its lines, each with the line end it had, so
// that a file written back differs from the one read only in the lines that
// were changed on purpose. Files are replaced atomically.
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

// Writes `contents` to a temporary file beside `path` and renames it over
// `path`, so that `path` is never left half written. An existing file's
// permissions are kept. Throws ToolError naming `path` on failure.
void replaceFileAtomically(const std::string& path, const std::string& contents);

// A temporary file name beside `path` (created, empty, permissions 0600), for
// writers that need a name rather than a stream. Throws ToolError.
std::string makeTemporaryBeside(const std::string& path);

// Renames `temporary` over `path`, keeping the permissions of an existing
// `path` (or giving the usual ones for a new file); removes `temporary` and
// throws ToolError on failure.
void commitTemporary(const std::string& temporary, const std::string& path);

}  // namespace zel::trxtool

#endif  // ZEL_TRX_TRXFILE_H
