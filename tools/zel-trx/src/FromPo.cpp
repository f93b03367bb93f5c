// `zel-trx from-po`: merges the translations of a PO file into the dictionary
// file, touching only lines of the PO file's language.
//
// For a source text, the translation that counts is the first line of the
// language, or of its ISO 639-1 fallback, among the lines of that text. So a
// translation is written where the reader takes it:
//   - the first such line is one of the language: its text is replaced;
//   - it is a fallback line: the language's line (the one that was shadowed,
//     or a new one) goes right before it;
//   - there is none: a new line goes after the last translation line of the
//     text's first block, or else of its last one.
// A line of the language is also a fallback line for other languages that
// share its ISO 639-1 code, so every placement is tried on the lines of its
// text for every language of the file, and only one that leaves what the
// others read unchanged is taken. Where there is none the merge is refused
// and nothing is written. The whole result is then read again for every
// language, as a last guard.
#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "Commands.h"
#include "Output.h"
#include "PoFile.h"
#include "ToolError.h"
#include "TrxFile.h"
#include "TrxFormat.h"

namespace zel::trxtool {
namespace {

// The edits of one source text's lines, keyed by the index of a line of the
// original file.
struct Edit {
  std::optional<std::size_t> replaceAt, removeAt, insertBefore, insertAfter;
  std::string line;  // the new or rewritten line
};

constexpr const char* kBlanks = " \t\v\f";

std::string indentationOf(const std::string& line) {
  return line.substr(0, std::min(line.find_first_not_of(kBlanks), line.size()));
}

bool endsWithCarriageReturn(const std::string& line) {
  return !line.empty() && line.back() == '\r';
}

// `line` with its text between leading and trailing white space replaced.
std::string rewritten(const std::string& line, const std::string& core) {
  const std::size_t first = line.find_first_not_of(" \t\r\v\f");
  if (first == std::string::npos) return line + core;
  const std::size_t last = line.find_last_not_of(" \t\r\v\f");
  return line.substr(0, first) + core + line.substr(last + 1);
}

// A new line indented like `indentFrom`, ending like `endFrom`.
std::string freshLine(const std::string& indentation, const std::string& endFrom,
                      const std::string& core) {
  return indentation + core + (endsWithCarriageReturn(endFrom) ? "\r" : "");
}

bool isTranslationKind(LineKind kind) {
  return kind == LineKind::Translation || kind == LineKind::Fallback ||
         kind == LineKind::OtherLanguage;
}

// What each language reads for one source text: its translation, or nothing.
using Readings = std::map<std::string, std::optional<std::string>>;

class Merger {
 public:
  // `languages`: every language of the file, `language` (the one merged)
  // among them; the others' readings must not change.
  Merger(const TrxFile& file, const std::string& language, std::vector<std::string> languages)
      : m_file(file),
        m_language(language),
        m_languages(std::move(languages)),
        m_reading(readLanguage(file.lines, language)) {
    for (std::size_t i = 0; i < m_reading.lines.size(); ++i) {
      const ClassifiedLine& line = m_reading.lines[i];
      // Every line, not only those this language takes for translation
      // lines: a line that it ignores may be a fallback line of another.
      m_linesOf[line.kind == LineKind::Source ? line.text : line.source].push_back(i);
      if (m_defaultIndentation.empty() && isTranslationKind(line.kind)) {
        m_defaultIndentation = indentationOf(file.lines[i]);
      }
    }
    for (const SourceText& source : m_reading.sources) m_sources.insert(source.text);
  }

  bool hasSource(const std::string& source) const { return m_sources.count(source) != 0; }

  // False when the dictionary already gives `translation`.
  bool changes(const std::string& source, const std::string& translation) const {
    const auto entry = m_reading.entries.find(source);
    return entry == m_reading.entries.end() || entry->second.text != translation;
  }

  // Plans the lines that make the reader give `translation` for `source`
  // (`encoded`: as the file holds it) without changing what another
  // language reads. Returns whether an existing line is rewritten, or the
  // languages whose reading every placement would change.
  std::variant<bool, std::vector<std::string>> plan(const std::string& source,
                                                    const std::string& translation,
                                                    const std::string& encoded) {
    const std::vector<Edit> candidates = placements(source, translationLine(m_language, encoded));
    const Readings before = readings(source, nullptr);
    std::vector<std::string> changed;
    for (const Edit& edit : candidates) {
      const Readings after = readings(source, &edit);
      std::vector<std::string> changedHere;
      for (const auto& [language, reading] : after) {
        if (language == m_language ? reading != translation : reading != before.at(language)) {
          changedHere.push_back(language);
        }
      }
      if (changedHere.empty()) {
        m_edits.push_back(edit);
        return edit.replaceAt.has_value() || edit.removeAt.has_value();
      }
      if (changed.empty()) changed = changedHere;
    }
    return changed;
  }

  bool empty() const { return m_edits.empty(); }

  std::vector<std::string> apply() const { return applied(m_edits); }

 private:
  // Where a line of the language can give `source` its translation, best
  // first.
  std::vector<Edit> placements(const std::string& source, const std::string& core) const {
    const std::vector<std::string>& lines = m_file.lines;
    const std::vector<std::size_t>& own = m_linesOf.at(source);
    std::vector<Edit> edits;
    const auto entry = m_reading.entries.find(source);
    if (entry != m_reading.entries.end() && !entry->second.fromFallback) {
      const std::size_t at = entry->second.line;
      edits.push_back({at, std::nullopt, std::nullopt, std::nullopt, rewritten(lines[at], core)});
      return edits;
    }
    if (entry != m_reading.entries.end()) {
      // A fallback line gives the translation: the language's line goes
      // right before it, the latest place where the reader still takes it.
      // A line of the language that it shadowed moves there.
      const std::size_t fallback = entry->second.line;
      for (const std::size_t i : own) {
        if (i > fallback && m_reading.lines[i].kind == LineKind::Translation) {
          edits.push_back({std::nullopt, i, fallback, std::nullopt, rewritten(lines[i], core)});
          break;
        }
      }
      edits.push_back({std::nullopt, std::nullopt, fallback, std::nullopt,
                       freshLine(indentationOf(lines[fallback]), lines[fallback], core)});
      return edits;
    }
    // No line gives a translation yet: after the last translation line of
    // the text's first block, else after the very last line of the text,
    // after whatever other languages read there.
    std::optional<std::size_t> firstBlockEnd, lastEnd;
    std::size_t sourceLines = 0;
    for (const std::size_t i : own) {
      const LineKind kind = m_reading.lines[i].kind;
      if (kind == LineKind::Source) ++sourceLines;
      if (sourceLines == 0 || (kind != LineKind::Source && !isTranslationKind(kind))) continue;
      if (sourceLines == 1) firstBlockEnd = i;
      lastEnd = i;
    }
    if (!firstBlockEnd) return edits;
    for (const std::size_t after : {*firstBlockEnd, *lastEnd}) {
      if (!edits.empty() && edits.back().insertAfter == after) continue;
      const bool afterTranslation = m_reading.lines[after].kind != LineKind::Source;
      edits.push_back({std::nullopt, std::nullopt, std::nullopt, after,
                       freshLine(afterTranslation ? indentationOf(lines[after])
                                                  : m_defaultIndentation,
                                 lines[after], core)});
    }
    return edits;
  }

  // What each language reads for `source` from the lines of that text, with
  // `edit` applied.
  Readings readings(const std::string& source, const Edit* edit) const {
    std::vector<std::string> lines;
    for (const std::size_t i : m_linesOf.at(source)) {
      if (edit && edit->insertBefore == i) lines.push_back(edit->line);
      if (!edit || edit->removeAt != i) {
        lines.push_back(edit && edit->replaceAt == i ? edit->line : m_file.lines[i]);
      }
      if (edit && edit->insertAfter == i) lines.push_back(edit->line);
    }
    Readings result;
    for (const std::string& language : m_languages) {
      const LanguageReading reading = readLanguage(lines, language);
      const auto entry = reading.entries.find(source);
      result[language] = entry == reading.entries.end() ? std::nullopt
                                                        : std::optional(entry->second.text);
    }
    return result;
  }

  std::vector<std::string> applied(const std::vector<Edit>& edits) const {
    std::map<std::size_t, const Edit*> before, after, replace, remove;
    for (const Edit& edit : edits) {
      if (edit.insertBefore) before[*edit.insertBefore] = &edit;
      if (edit.insertAfter) after[*edit.insertAfter] = &edit;
      if (edit.replaceAt) replace[*edit.replaceAt] = &edit;
      if (edit.removeAt) remove[*edit.removeAt] = &edit;
    }
    std::vector<std::string> out;
    for (std::size_t i = 0; i < m_file.lines.size(); ++i) {
      if (before.count(i)) out.push_back(before[i]->line);
      if (!remove.count(i)) out.push_back(replace.count(i) ? replace[i]->line : m_file.lines[i]);
      if (after.count(i)) out.push_back(after[i]->line);
    }
    return out;
  }

  const TrxFile& m_file;
  std::string m_language;
  std::vector<std::string> m_languages;
  LanguageReading m_reading;
  // The source lines of each text and the translation lines that follow them.
  std::map<std::string, std::vector<std::size_t>> m_linesOf;
  std::set<std::string> m_sources;
  std::string m_defaultIndentation;
  std::vector<Edit> m_edits;
};

std::string lowercase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

void requireUtf8Charset(const PoCatalog& catalog, const std::string& poPath) {
  // Without a charset the texts are taken as UTF-8; each is checked anyway.
  const std::string charset = lowercase(catalog.charset);
  if (!charset.empty() && charset != "utf-8" && charset != "utf8" && charset != "ascii" &&
      charset != "us-ascii") {
    throw ToolError(poPath + ": the charset is " + quoted(catalog.charset) +
                    "; zel-trx reads UTF-8 PO files (convert with msgconv --to-code=UTF-8)");
  }
}

// Why `message` cannot be merged, or "" when it can.
std::string whyNotMergeable(const PoMessage& message, const Merger& merger,
                            const std::string& trxPath) {
  if (message.hasContext) return "it has a context (msgctxt), which a dictionary file cannot hold";
  if (message.hasPlural) return "it has plural forms, which a dictionary file cannot hold";
  if (!merger.hasSource(message.source)) return "it is not a source text of " + trxPath;
  if (!isValidUtf8(message.translation)) return "its translation is not valid UTF-8";
  if (!encodeText(message.translation)) {
    return "its translation holds an entity such as \"&lt;\", which the reader always "
           "resolves, so a dictionary file cannot hold it";
  }
  // What msgfmt -c rejects. Every text of a dictionary is formatted with
  // %1 ... %9, so the tokens are checked whether or not the PO file says so.
  PoMessage checked = message;
  checked.qtFormat = checked.qtFormat || !tokensIn(message.source).empty() ||
                     !tokensIn(message.translation).empty();
  const std::vector<std::string> problems = checkMessage(checked);
  if (!problems.empty()) return "msgfmt -c would reject it: " + problems.front();
  return std::string();
}

}  // namespace

int runFromPo(const FromPoOptions& options, std::ostream& out, std::ostream& err) {
  const TrxFile file = loadTrxFile(options.trxPath);
  const PoCatalog catalog = readPoFile(options.poPath);
  if (catalog.language.empty()) {
    throw ToolError(options.poPath +
                    ": the header names no language: set its \"Language:\" field, for example to de_CH");
  }
  requireUsableLanguage(file, catalog.language, options.poPath);
  requireUtf8Charset(catalog, options.poPath);
  const std::string& language = catalog.language;
  std::vector<std::string> languages = languagesIn(file.lines);
  if (std::find(languages.begin(), languages.end(), language) == languages.end()) {
    languages.push_back(language);
  }

  Merger merger(file, language, languages);
  std::map<std::string, std::string> merged;  // source text to translation
  std::vector<std::pair<std::string, std::vector<std::string>>> refused;
  std::size_t added = 0, replaced = 0, unchanged = 0, fuzzy = 0, untranslated = 0, skipped = 0;
  for (const PoMessage& message : catalog.messages) {
    if (message.translation.empty()) {
      ++untranslated;
      continue;
    }
    if (message.fuzzy) {
      ++fuzzy;
      continue;
    }
    const std::string why = whyNotMergeable(message, merger, file.path);
    if (!why.empty()) {
      ++skipped;
      err << options.poPath << ": warning: " << quoted(message.source) << " not merged: " << why << "\n";
      continue;
    }
    if (!merger.changes(message.source, message.translation)) {
      ++unchanged;
      continue;
    }
    const auto planned =
        merger.plan(message.source, message.translation, *encodeText(message.translation));
    if (const auto* others = std::get_if<std::vector<std::string>>(&planned)) {
      refused.emplace_back(message.source, *others);
      continue;
    }
    ++(std::get<bool>(planned) ? replaced : added);
    merged.emplace(message.source, message.translation);
  }

  TrxFile result;
  result.path = options.output.empty() ? file.path : options.output;
  result.endsWithNewline = file.endsWithNewline;
  result.lines = merger.apply();

  // Read the result back for every language: the merged texts as in the PO
  // file, everything else as before. Anything else is refused too.
  for (const std::string& reader : languages) {
    const LanguageReading before = readLanguage(file.lines, reader);
    const LanguageReading after = readLanguage(result.lines, reader);
    std::map<std::string, std::string> expected, got;
    for (const auto& [source, entry] : before.entries) expected[source] = entry.text;
    for (const auto& [source, entry] : after.entries) got[source] = entry.text;
    if (reader == language) {
      for (const auto& [source, text] : merged) expected[source] = text;
    }
    if (expected == got) continue;
    for (const auto& [source, text] : got) {
      const auto was = expected.find(source);
      if (was == expected.end() || was->second != text) refused.push_back({source, {reader}});
    }
    for (const auto& [source, text] : expected) {
      if (got.count(source) == 0) refused.push_back({source, {reader}});
    }
  }
  if (!refused.empty()) {
    for (const auto& [source, others] : refused) {
      std::string list;
      for (const std::string& other : others) list += (list.empty() ? "" : ", ") + other;
      err << options.poPath << ": error: the " << language << " translation of "
          << quoted(source) << " cannot be merged without changing what " << list
          << (others.size() == 1 ? " reads" : " read") << " for it\n";
    }
    err << file.path << ": nothing was written: a merge never changes what another language "
        << "reads (a line of " << language << " is a fallback line for the languages named)\n";
    return 1;
  }

  // The report goes out first: where it cannot, the file stays as it was.
  out << result.path << ": " << language << ": " << added << " added, " << replaced
      << " replaced, " << unchanged << " unchanged, " << fuzzy << " fuzzy not merged, "
      << untranslated << " untranslated";
  if (skipped) out << ", " << skipped << " not mergeable";
  out << "\n";
  flushReport(out);
  if (!merger.empty() || result.path != file.path) {
    replaceFile(result.path, result.bytes());
  }
  return skipped > 0 ? 1 : 0;
}

}  // namespace zel::trxtool
