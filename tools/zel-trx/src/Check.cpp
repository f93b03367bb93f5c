// `zel-trx check`: what the reader of each language makes of a dictionary
// file, and the lines a translator should look at.
#include <algorithm>
#include <string>
#include <vector>

#include <zel/StringUtilities.h>

#include "Commands.h"
#include "TrxFile.h"
#include "TrxFormat.h"

namespace zel::trxtool {
namespace {

struct Finding {
  std::size_t line;  // index into the lines
  std::string text;
};

struct Counts {
  std::size_t translated = 0;
  std::size_t missing = 0;
  std::size_t shadowed = 0;
  std::size_t ignored = 0;
  std::size_t shortLines = 0;
  std::size_t unclosed = 0;
  std::size_t tokenMismatches = 0;
  std::size_t empty = 0;
  std::size_t notUtf8 = 0;
};

std::string plural(std::size_t count, const std::string& one, const std::string& many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string tokenList(const std::string& digits) {
  std::string list;
  for (const char digit : digits) {
    if (!list.empty()) list += ' ';
    list += std::string{'%', digit};
  }
  return list;
}

// The tokens of `source` missing from `translation` and the other way round,
// or "" when both hold the same tokens.
std::string tokenMismatch(const std::string& source, const std::string& translation) {
  const std::string inSource = tokensIn(source);
  const std::string inTranslation = tokensIn(translation);
  std::string missing;
  std::string extra;
  for (const char digit : inSource) {
    if (inTranslation.find(digit) == std::string::npos) missing += digit;
  }
  for (const char digit : inTranslation) {
    if (inSource.find(digit) == std::string::npos) extra += digit;
  }
  std::string text;
  if (!missing.empty()) text = tokenList(missing) + " of the source text missing from the translation";
  if (!extra.empty()) {
    text += (text.empty() ? "" : "; ") + tokenList(extra) + " in the translation but not in the source text";
  }
  return text;
}

void addLineFindings(const LanguageReading& reading,
                     const std::vector<std::string>& rawLines,
                     std::vector<Finding>& findings, Counts& counts) {
  for (std::size_t i = 0; i < reading.lines.size(); ++i) {
    const ClassifiedLine& line = reading.lines[i];
    const bool ownLine = line.kind == LineKind::Source ||
                         line.kind == LineKind::Translation ||
                         (line.kind == LineKind::Fallback && line.read);
    if (line.kind == LineKind::Ignored) {
      ++counts.ignored;
      findings.push_back(
          {i, "ignored by the reader: " + quoted(StringUtilities::removeWhitespace(rawLines[i]))});
    }
    if (ownLine && !isValidUtf8(rawLines[i])) {
      ++counts.notUtf8;
      findings.push_back({i, "not valid UTF-8 (saved in another encoding?): " +
                                 quoted(StringUtilities::removeWhitespace(rawLines[i]))});
    }
    if (line.kind == LineKind::Translation && !line.read) {
      const Entry& shadowing = reading.entries.at(line.source);
      ++counts.shadowed;
      findings.push_back(
          {i, "shadowed by " +
                  (shadowing.fromFallback
                       ? "the fallback line " + std::to_string(shadowing.line + 1) +
                             " (" +
                             quoted(writtenTag(
                                 StringUtilities::removeWhitespace(rawLines[shadowing.line]))) +
                             ")"
                       : "line " + std::to_string(shadowing.line + 1)) +
                  ": the translation of " + quoted(line.source) + " stays " +
                  quoted(shadowing.text)});
    }
    if (line.read && line.beforeFirstSource) {
      findings.push_back({i, "translation before the first source line: it translates the empty text"});
    }
    if (ownLine && line.shorterThanClosingTag) {
      ++counts.shortLines;
      findings.push_back({i, "shorter than its closing tag: the text is everything after the opening tag"});
    }
    if (ownLine && line.unclosed) {
      ++counts.unclosed;
      const std::size_t cut = line.kind == LineKind::Source ? kSourceCloseLength
                                                             : kTranslationCloseLength;
      findings.push_back({i, "does not end with its closing tag: the reader drops its last " +
                                 std::to_string(cut) + " characters instead and reads " +
                                 quoted(line.text)});
    }
  }
}

void addEntryFindings(const LanguageReading& reading, std::vector<Finding>& findings,
                      Counts& counts) {
  for (const SourceText& source : reading.sources) {
    const auto entry = reading.entries.find(source.text);
    if (entry == reading.entries.end()) {
      ++counts.missing;
      findings.push_back({source.firstLine, "missing: " + quoted(source.text)});
      continue;
    }
    ++counts.translated;
    if (entry->second.text.empty() && !source.text.empty()) {
      ++counts.empty;
      findings.push_back({entry->second.line, "empty translation of " + quoted(source.text)});
    }
    const std::string mismatch = tokenMismatch(source.text, entry->second.text);
    if (!mismatch.empty()) {
      ++counts.tokenMismatches;
      findings.push_back({entry->second.line, "token mismatch: " + mismatch});
    }
  }
}

std::string summary(const std::string& language, std::size_t sources, const Counts& counts) {
  std::string text = escaped(language) + ": " + std::to_string(counts.translated) + " of " +
                     plural(sources, "source text", "source texts") + " translated, " +
                     std::to_string(counts.missing) + " missing";
  std::vector<std::string> problems;
  if (counts.shadowed) problems.push_back(std::to_string(counts.shadowed) + " shadowed");
  if (counts.ignored) problems.push_back(plural(counts.ignored, "ignored line", "ignored lines"));
  if (counts.shortLines) problems.push_back(plural(counts.shortLines, "short line", "short lines"));
  if (counts.unclosed) problems.push_back(plural(counts.unclosed, "unclosed line", "unclosed lines"));
  if (counts.tokenMismatches) {
    problems.push_back(plural(counts.tokenMismatches, "token mismatch", "token mismatches"));
  }
  if (counts.empty) problems.push_back(plural(counts.empty, "empty translation", "empty translations"));
  if (counts.notUtf8) problems.push_back(plural(counts.notUtf8, "line not UTF-8", "lines not UTF-8"));
  for (std::size_t i = 0; i < problems.size(); ++i) {
    text += (i == 0 ? "; " : ", ") + problems[i];
  }
  return text;
}

}  // namespace

int runCheck(const CheckOptions& options, std::ostream& out, std::ostream& err) {
  const TrxFile file = loadTrxFile(options.trxPath);
  std::vector<std::string> languages =
      options.languages.empty() ? languagesIn(file.lines) : options.languages;
  for (const std::string& required : options.required) {
    if (std::find(languages.begin(), languages.end(), required) == languages.end()) {
      languages.push_back(required);
    }
  }
  for (const std::string& language : languages) {
    requireUsableLanguage(file, language, file.path);
  }

  std::string languageList;
  for (const std::string& language : languagesIn(file.lines)) {
    languageList += (languageList.empty() ? "" : ", ") + escaped(language);
  }
  out << file.path << ": "
      << plural(readLanguage(file.lines, "").sources.size(), "source text", "source texts")
      << "; languages: " << (languageList.empty() ? "none" : languageList) << "\n";

  int status = 0;
  for (const std::string& language : languages) {
    const LanguageReading reading = readLanguage(file.lines, language);
    std::vector<Finding> findings;
    Counts counts;
    addLineFindings(reading, file.lines, findings, counts);
    addEntryFindings(reading, findings, counts);
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    out << summary(language, reading.sources.size(), counts) << "\n";
    for (const Finding& finding : findings) {
      out << "  " << file.path << ":" << finding.line + 1 << ": " << finding.text << "\n";
    }
    const bool required = std::find(options.required.begin(), options.required.end(),
                                    language) != options.required.end();
    if (required && counts.missing > 0) {
      err << "zel-trx: " << file.path << ": the required language " << language << " misses "
          << plural(counts.missing, "translation", "translations") << "\n";
      status = 1;
    }
    if (options.strict && !findings.empty()) {
      err << "zel-trx: " << file.path << ": " << escaped(language) << ": "
          << plural(findings.size(), "problem", "problems") << " (--strict)\n";
      status = 1;
    }
  }
  return status;
}

}  // namespace zel::trxtool
