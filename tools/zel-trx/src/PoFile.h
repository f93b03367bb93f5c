// Gettext PO files, read and written through gettext's own library
// (libgettextpo), so that quoting, escaping and line wrapping are exactly what
// every PO editor and msgfmt expect. Only what the tool needs is exposed: one
// language, singular messages without context, the fuzzy and qt-format flags.
// Not thread-safe: the library reports problems through process-wide hooks.
#ifndef ZEL_TRX_POFILE_H
#define ZEL_TRX_POFILE_H

#include <string>
#include <vector>

namespace zel::trxtool {

struct PoMessage {
  std::string source;       // msgid
  std::string translation;  // msgstr; empty means untranslated
  bool fuzzy = false;
  bool qtFormat = false;    // written as "#, qt-format": msgfmt checks %1 ... %9
  std::string comment;      // translator comment, written only
  std::string referenceFile;  // "#: file:line", written only when not empty
  std::size_t referenceLine = 0;
  // Read only: messages the tool cannot merge.
  bool hasContext = false;
  bool hasPlural = false;
};

struct PoCatalog {
  std::string language;      // the header's "Language:"
  std::string project;       // the header's "Project-Id-Version:"
  std::string charset;       // read only: from the header's "Content-Type:"
  std::string headerComment; // written only
  std::vector<PoMessage> messages;  // without header and obsolete messages
};

// Writes `catalog` with a UTF-8 header to `path` ("-" for standard output),
// through a temporary file beside `path`. Throws ToolError naming the file.
void writePoFile(const std::string& path, const PoCatalog& catalog);

// Reads a PO file. Throws ToolError naming the file (and the line, where the
// library gives one) when it cannot be read or is not a valid PO file.
PoCatalog readPoFile(const std::string& path);

// What `msgfmt -c` would reject in `message` once translated: format tokens
// that differ between msgid and msgstr, line feeds at one end of only one of
// them. Empty when msgfmt accepts it.
std::vector<std::string> checkMessage(const PoMessage& message);

}  // namespace zel::trxtool

#endif  // ZEL_TRX_POFILE_H
