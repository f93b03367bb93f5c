#include "TrxFormat.h"

#include <cctype>
#include <cstdio>

#include <zel/StringUtilities.h>

// The reader's own text extraction, so that the tool can never disagree with
// it about a text.
#include "TranslationFile.h"

namespace zel::trxtool {
namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWithEither(const std::string& line, const char* backslashForm,
                    const char* slashForm) {
  const std::string a(backslashForm);
  const std::string b(slashForm);
  return line.size() >= a.size() &&
         (line.compare(line.size() - a.size(), a.size(), a) == 0 ||
          line.compare(line.size() - b.size(), b.size(), b) == 0);
}

// Extracts the text of a line whose text begins at `start`, and notes how the
// line's end relates to its closing tag.
void takeText(ClassifiedLine& classified, const std::string& line,
              std::size_t start, std::size_t closingLength,
              const char* closeBackslash, const char* closeSlash) {
  classified.text = trx::extractText(line, start, closingLength);
  const std::size_t available = line.size() - start;
  classified.shorterThanClosingTag = available < closingLength;
  classified.unclosed = !classified.shorterThanClosingTag &&
                        !endsWithEither(line, closeBackslash, closeSlash);
}

// The ISO 639-1 part of a language code as the dictionary takes it: what
// stands before the first "-" or "_", or nothing without either.
std::string isoCodeOf(const std::string& language) {
  const std::size_t separator = language.find_first_of("-_");
  return separator == std::string::npos ? std::string() : language.substr(0, separator);
}

// A comment, a declaration, or one tag alone on its line ("<dictionary>"):
// lines a dictionary file holds on purpose although the reader skips them.
bool isMarkup(const std::string& line) {
  return startsWith(line, "<!--") || startsWith(line, "<?") ||
         (line.front() == '<' && line.find('>') == line.size() - 1);
}

bool isLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool isAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

}  // namespace

LanguageReading readLanguage(const std::vector<std::string>& lines,
                             const std::string& language) {
  LanguageReading reading;
  reading.language = language;
  reading.isoCode = isoCodeOf(language);
  const std::string languageTag =
      std::string(kTranslationOpen) + language + kTranslationTagEnd;
  const std::string fallbackPrefix = kTranslationOpen + reading.isoCode;

  std::string source;
  bool sawSource = false;
  std::map<std::string, std::size_t> sourceIndex;
  reading.lines.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string line = StringUtilities::removeWhitespace(lines[i]);
    ClassifiedLine classified;
    if (startsWith(line, kSourceOpen)) {
      classified.kind = LineKind::Source;
      takeText(classified, line, std::string(kSourceOpen).size(),
               kSourceCloseLength, "<\\source>", "</source>");
      source = classified.text;
      sawSource = true;
      if (sourceIndex.emplace(source, reading.sources.size()).second) {
        reading.sources.push_back({source, i});
      }
    } else if (startsWith(line, languageTag)) {
      classified.kind = LineKind::Translation;
      takeText(classified, line, languageTag.size(), kTranslationCloseLength,
               kTranslationClose, "</translation>");
      classified.read =
          reading.entries.emplace(source, Entry{classified.text, i, false}).second;
    } else if (!reading.isoCode.empty() && startsWith(line, fallbackPrefix) &&
               line.find('>', fallbackPrefix.size()) != std::string::npos) {
      // The reader looks for the tag end only while the source text has no
      // entry; the text is the same either way.
      classified.kind = LineKind::Fallback;
      takeText(classified, line, line.find('>', fallbackPrefix.size()) + 1,
               kTranslationCloseLength, kTranslationClose, "</translation>");
      classified.read =
          reading.entries.emplace(source, Entry{classified.text, i, true}).second;
    } else if (translationLanguage(line)) {
      classified.kind = LineKind::OtherLanguage;
    } else if (line.empty()) {
      classified.kind = LineKind::Blank;
    } else if (isMarkup(line)) {
      classified.kind = LineKind::Markup;
    } else {
      classified.kind = LineKind::Ignored;
    }
    if (classified.kind != LineKind::Source) classified.source = source;
    classified.beforeFirstSource =
        !sawSource && (classified.kind == LineKind::Translation ||
                       classified.kind == LineKind::Fallback);
    reading.lines.push_back(std::move(classified));
  }
  return reading;
}

std::optional<std::string> translationLanguage(const std::string& trimmedLine) {
  const std::string open(kTranslationOpen);
  if (!startsWith(trimmedLine, open)) return std::nullopt;
  const std::size_t quote = trimmedLine.find('"', open.size());
  if (quote == std::string::npos || quote == open.size() ||
      trimmedLine.compare(quote, 2, kTranslationTagEnd) != 0) {
    return std::nullopt;
  }
  return trimmedLine.substr(open.size(), quote - open.size());
}

std::string writtenTag(const std::string& trimmedLine) {
  const std::string open(kTranslationOpen);
  if (!startsWith(trimmedLine, open)) return std::string();
  std::string tag = trimmedLine.substr(open.size(), trimmedLine.find('>', open.size()) - open.size());
  if (!tag.empty() && tag.back() == '"') tag.pop_back();
  return tag;
}

std::vector<std::string> languagesIn(const std::vector<std::string>& lines) {
  std::vector<std::string> languages;
  for (const std::string& line : lines) {
    const auto language =
        translationLanguage(StringUtilities::removeWhitespace(line));
    if (!language) continue;
    bool known = false;
    for (const std::string& seen : languages) known = known || seen == *language;
    if (!known) languages.push_back(*language);
  }
  return languages;
}

bool looksLikeLanguageCode(const std::string& code) {
  std::size_t i = 0;
  while (i < code.size() && isLetter(code[i])) ++i;
  if (i < 2 || i > 3) return false;
  while (i < code.size() && (code[i] == '_' || code[i] == '-')) {
    const std::size_t start = ++i;
    while (i < code.size() && isAlnum(code[i])) ++i;
    if (i == start || i - start > 8) return false;
  }
  if (i < code.size() && code[i] == '@') {
    const std::size_t start = ++i;
    while (i < code.size() && isAlnum(code[i])) ++i;
    if (i == start) return false;
  }
  return i == code.size();
}

std::string tokensIn(const std::string& text) {
  std::string digits;
  for (char digit = '1'; digit <= '9'; ++digit) {
    if (text.find(std::string{'%', digit}) != std::string::npos) digits += digit;
  }
  return digits;
}

std::optional<std::string> encodeText(const std::string& text) {
  for (const char* entity : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"}) {
    if (text.find(entity) != std::string::npos) return std::nullopt;
  }
  // Entities first and escapes around them, the reverse of the reader, which
  // resolves escapes first.
  std::string encoded;
  encoded.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    switch (c) {
      case '&': encoded += "&amp;"; break;
      case '<': encoded += "&lt;"; break;
      case '>': encoded += "&gt;"; break;
      case '\\': encoded += "\\\\"; break;
      case '\n': encoded += "\\n"; break;
      case '\t': encoded += "\\t"; break;
      default: encoded += c; break;
    }
  }
  return encoded;
}

std::string translationLine(const std::string& language,
                            const std::string& encodedText) {
  return kTranslationOpen + language + kTranslationTagEnd + encodedText +
         kTranslationClose;
}

bool isValidUtf8(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned long point = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xc2 && lead <= 0xdf) {
      length = 2;
      point = lead & 0x1f;
    } else if (lead >= 0xe0 && lead <= 0xef) {
      length = 3;
      point = lead & 0x0f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
      length = 4;
      point = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xc0) != 0x80) return false;
      point = (point << 6) | (next & 0x3f);
    }
    // No overlong forms, no surrogates, nothing past U+10FFFF.
    const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < smallest[length] || (point >= 0xd800 && point <= 0xdfff) ||
        point > 0x10ffff) {
      return false;
    }
    i += length;
  }
  return true;
}

namespace {

// `text` escaped for a terminal, at most `limit` characters of it; `cut`
// tells whether some were left out.
std::string escapedPart(const std::string& text, std::size_t limit, bool& cut) {
  std::string result;
  cut = false;
  std::size_t shown = 0;  // characters shown
  std::size_t i = 0;
  while (i < text.size()) {
    if (shown == limit) {
      cut = true;
      return result;
    }
    ++shown;
    const auto c = static_cast<unsigned char>(text[i]);
    char code[16];
    switch (c) {
      case '"': result += "\\\""; ++i; continue;
      case '\\': result += "\\\\"; ++i; continue;
      case '\n': result += "\\n"; ++i; continue;
      case '\t': result += "\\t"; ++i; continue;
      case '\r': result += "\\r"; ++i; continue;
      default: break;
    }
    if (c < 0x20 || c == 0x7f) {
      std::snprintf(code, sizeof code, "\\x%02x", static_cast<unsigned>(c));
      result += code;
      ++i;
      continue;
    }
    if (c < 0x80) {
      result += text[i++];
      continue;
    }
    // A multi-byte character passes when it is valid UTF-8 and not one that
    // steers a terminal (C1 controls) or the direction of text.
    std::size_t length = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : 2;
    const std::string character = text.substr(i, length);
    if (character.size() != length || !isValidUtf8(character)) {
      std::snprintf(code, sizeof code, "\\x%02x", static_cast<unsigned>(c));
      result += code;
      ++i;
      continue;
    }
    unsigned long point = c & (length == 2 ? 0x1f : length == 3 ? 0x0f : 0x07);
    for (std::size_t k = 1; k < length; ++k) {
      point = (point << 6) | (static_cast<unsigned char>(character[k]) & 0x3f);
    }
    const bool steering = point <= 0x9f || (point >= 0x200e && point <= 0x200f) ||
                          (point >= 0x2028 && point <= 0x202e) ||
                          (point >= 0x2066 && point <= 0x2069);
    if (steering) {
      std::snprintf(code, sizeof code, "\\u%04lx", point);
      result += code;
    } else {
      result += character;
    }
    i += length;
  }
  return result;
}

}  // namespace

std::string escaped(const std::string& text, std::size_t limit) {
  bool cut = false;
  const std::string part = escapedPart(text, limit, cut);
  return cut ? part + "... (" + std::to_string(text.size()) + " bytes)" : part;
}

std::string quoted(const std::string& text, std::size_t limit) {
  bool cut = false;
  const std::string part = escapedPart(text, limit, cut);
  return "\"" + part + "\"" + (cut ? "... (" + std::to_string(text.size()) + " bytes)" : "");
}

}  // namespace zel::trxtool
