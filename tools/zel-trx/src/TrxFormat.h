// How the dictionary reader sees the lines of a ".trx" file, for one language.
// readLanguage() walks the lines exactly as Translation::readFile does (the
// same trimming, the same order of line kinds, the same text extraction, the
// same "first entry stays" rule) and keeps, besides the entries, where each
// one came from, so that `check` can explain a dictionary and `from-po` can
// find the line to change. encodeText() is the inverse of the reader's text
// decoding, used to write translations back.
#ifndef ZEL_TRX_TRXFORMAT_H
#define ZEL_TRX_TRXFORMAT_H

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zel::trxtool {

constexpr const char* kSourceOpen = "<source>";
constexpr std::size_t kSourceCloseLength = 9;        // "<\source>"
constexpr const char* kTranslationOpen = "<translation lang=\"";
constexpr const char* kTranslationTagEnd = "\">";
constexpr const char* kTranslationClose = "<\\translation>";
constexpr std::size_t kTranslationCloseLength = 14;  // "<\translation>"

// What a line is to the reader of one language.
enum class LineKind {
  Blank,          // nothing but white space
  Markup,         // a comment, a declaration or a lone tag such as the root
                  // element: ignored, and meant to be
  Source,         // "<source>..."
  Translation,    // a translation line of the language
  Fallback,       // a line of the ISO 639-1 code, read when nothing was yet
  OtherLanguage,  // a well-formed translation line of another language
  Ignored         // anything else: the reader skips it without a word
};

struct ClassifiedLine {
  LineKind kind = LineKind::Blank;
  // The source text the line belongs to; a Source line's own text.
  std::string source;
  // The text of a Source, Translation or Fallback line, decoded.
  std::string text;
  // Fewer characters after the opening tag than the closing tag is long, so
  // the reader takes everything after the opening tag.
  bool shorterThanClosingTag = false;
  // The line does not end with its closing tag (with "\" or "/"), so the
  // reader cuts characters of the text instead.
  bool unclosed = false;
  // A Translation or Fallback line that gave the entry of its source text.
  bool read = false;
  // A Translation or Fallback line that comes before the first source line.
  bool beforeFirstSource = false;
};

// Where an entry of the dictionary came from.
struct Entry {
  std::string text;
  std::size_t line = 0;  // index into the lines
  bool fromFallback = false;
};

// A source text and the index of its first source line.
struct SourceText {
  std::string text;
  std::size_t firstLine = 0;
};

// One language's reading of a whole file.
struct LanguageReading {
  std::string language;
  std::string isoCode;
  std::vector<ClassifiedLine> lines;       // one per line of the file
  std::map<std::string, Entry> entries;    // what Translation::readFile adds
  std::vector<SourceText> sources;         // distinct, in order of appearance
};

// Reads `lines` (without their line ends) as the reader of `language` does.
LanguageReading readLanguage(const std::vector<std::string>& lines,
                             const std::string& language);

// The language of a well-formed translation line `<translation lang="X">...`
// (trimmed), or nothing.
std::optional<std::string> translationLanguage(const std::string& trimmedLine);

// The tag of a (trimmed) line that begins like a translation line, as
// written: what stands between the opening quote and the first ">", less a
// closing quote. "" for other lines.
std::string writtenTag(const std::string& trimmedLine);

// The languages of all well-formed translation lines, in order of appearance.
std::vector<std::string> languagesIn(const std::vector<std::string>& lines);

// Whether `code` has the shape of a language code that a translation tag can
// hold: 2 or 3 ASCII letters, then parts of letters and digits after "_" or
// "-", and an optional "@modifier".
bool looksLikeLanguageCode(const std::string& code);

// The tokens %1 ... %9 that occur in `text`, as the digits in ascending order.
std::string tokensIn(const std::string& text);

// A text such that the reader's decoding (escapes, then entities) yields
// `text` again: "\" "\n" and tab become escapes, "&" "<" ">" entities.
// Nothing when no such text exists: the reader resolves "&amp;", "&lt;",
// "&gt;", "&quot;" and "&apos;" wherever they appear, so it can never yield a
// text that holds one of them.
std::optional<std::string> encodeText(const std::string& text);

// A whole translation line (without indentation or line end).
std::string translationLine(const std::string& language,
                            const std::string& encodedText);

// Whether `text` is well-formed UTF-8, as a PO file declared UTF-8 needs.
bool isValidUtf8(const std::string& text);

// How many characters of a text a message shows.
constexpr std::size_t kShownLength = 72;

// `text` for messages on a terminal: quotes, backslashes, control characters
// (C1 and those that turn the direction of text included) and bytes that
// are not UTF-8 escaped, and cut after `limit` characters, followed then by
// "... (N bytes)".
std::string escaped(const std::string& text, std::size_t limit = kShownLength);

// escaped(text) between double quotes; the note on a cut follows the quote.
std::string quoted(const std::string& text, std::size_t limit = kShownLength);

}  // namespace zel::trxtool

#endif  // ZEL_TRX_TRXFORMAT_H
