// The reader of ".trx" dictionary files. Every line is read by itself, trimmed
// of white space at its ends, and sorted into one of three kinds:
//
//   <source>Open file<\source>                       the current source text
//   <translation lang="de_CH">Datei<\translation>    its translation
//   <translation lang="de">Datei<\translation>       a fallback for "de_CH"
//
// Any other line is ignored. Entries are only added, never replaced, so the
// first translation read for a source text stays.
#include "TranslationFile.h"

#include <zel/DataError.h>
#include <zel/ErrorType.h>
#include <zel/StringUtilities.h>
#include <zel/Translation.h>

#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

namespace zel {
namespace {

constexpr std::string_view kSourceOpen = "<source>";
constexpr std::string_view kSourceClose = "<\\source>";
constexpr std::string_view kTranslationOpen = "<translation lang=\"";
constexpr std::string_view kTranslationTagEnd = "\">";
constexpr std::string_view kTranslationClose = "<\\translation>";
constexpr char kTagEnd = '>';

bool startsWith(const std::string_view line, const std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}

}  // namespace

namespace trx {

std::string extractText(const std::string& line, std::size_t start,
                        std::size_t closingLength) {
  if (start > line.size()) {
    return std::string();
  }
  const std::size_t available = line.size() - start;
  const std::size_t length =
      available >= closingLength ? available - closingLength : available;
  std::string text = line.substr(start, length);
  // Escapes first: "\&lt;" is the text "&lt;" decoded, that is "<".
  if (text.find('\\') != std::string::npos) {
    text = unescapeText(text);
  }
  // Most texts hold no entity: they need no decoding and no copies.
  if (text.find('&') == std::string::npos) {
    return text;
  }
  return decodeEntities(text);
}

std::string unescapeText(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      result += text[i];
      continue;
    }
    if (++i == text.size()) {
      break;  // a trailing backslash is dropped
    }
    const char escaped = text[i];
    result += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
  }
  return result;
}

std::string decodeEntities(const std::string& text) {
  // "&amp;" goes first, so "&amp;lt;" becomes "<" by the second replacement.
  static const char* const kEntities[][2] = {{"&amp;", "&"},
                                             {"&lt;", "<"},
                                             {"&gt;", ">"},
                                             {"&quot;", "\""},
                                             {"&apos;", "'"}};
  std::string result = text;
  for (const auto& entity : kEntities) {
    result = StringUtilities::replaceSubstring(result, entity[0], entity[1]);
  }
  return result;
}

}  // namespace trx

void Translation::readFile(const std::string& fileName) {
  // A directory opens as a stream on some platforms and then fails on the
  // first read; to the user it is a file that cannot be read, like a missing
  // one.
  std::error_code ignored;
  std::ifstream file;
  if (!std::filesystem::is_directory(fileName, ignored)) {
    file.open(fileName);
  }
  if (!file.is_open()) {
    throw data::notFound(
        "Translation", "readFile",
        "Error loading dictionaries: cannot read file " + fileName, typeError);
  }

  // What follows kTranslationOpen in a line of this dictionary's language.
  std::string languageTagRest(m_language);
  languageTagRest += kTranslationTagEnd;

  // Translation lines before the first source line belong to the empty text.
  std::string source;
  // The raw line keeps its buffer from line to line; only the trimmed copy
  // is made anew.
  std::string rawLine;
  // A read error ends the file like its end: what was read so far stays.
  // A translation line of another language is skipped without trimming it:
  // a line that is taken begins, once trimmed, with a tag, and as '<' is
  // never white space, the tag then stands at the raw line's first '<'.
  const std::string_view languageMark =
      m_isoCode.empty() ? std::string_view(languageTagRest) : std::string_view(m_isoCode);
  while (std::getline(file, rawLine)) {
    const std::size_t firstTag = rawLine.find('<');
    if (firstTag == std::string::npos) continue;
    const std::string_view atTag = std::string_view(rawLine).substr(firstTag);
    if (!startsWith(atTag, kSourceOpen) &&
        !(startsWith(atTag, kTranslationOpen) &&
          startsWith(atTag.substr(kTranslationOpen.size()), languageMark))) {
      continue;
    }
    // The utility library decides what white space is; the tags are then
    // compared with the trimmed line, whose inside it leaves alone.
    const std::string line = StringUtilities::removeWhitespace(rawLine);
    const std::string_view text(line);
    if (startsWith(text, kSourceOpen)) {
      source = trx::extractText(line, kSourceOpen.size(),
                                kSourceClose.size());
      continue;
    }
    if (!startsWith(text, kTranslationOpen)) {
      continue;
    }
    // A translation line: its language decides whether it is taken.
    const std::string_view tag = text.substr(kTranslationOpen.size());
    const std::size_t tagStart = kTranslationOpen.size();
    std::size_t textStart = std::string::npos;
    if (startsWith(tag, languageTagRest)) {
      textStart = tagStart + languageTagRest.size();
    } else if (!m_isoCode.empty() && startsWith(tag, m_isoCode)) {
      // Any tag that begins with the ISO code: "de", "de_DE", "de-AT", "deu".
      const std::size_t tagEnd =
          line.find(kTagEnd, tagStart + m_isoCode.size());
      if (tagEnd != std::string::npos) {
        textStart = tagEnd + 1;
      }
    }
    if (textStart == std::string::npos) {
      continue;
    }
    // One search finds both whether the text has its translation already
    // (the first one stays) and where a new entry goes.
    const auto place = m_translations.lower_bound(source);
    if (place != m_translations.end() && place->first == source) {
      continue;
    }
    m_translations.emplace_hint(
        place, source,
        trx::extractText(line, textStart, kTranslationClose.size()));
  }
}

}  // namespace zel
