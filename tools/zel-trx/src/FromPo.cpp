// `zel-trx from-po`: merges the translations of a PO file into the dictionary
// file, touching only lines of the PO file's language.
//
// For a source text, the translation that counts is the first line of the
// language, or of its ISO 639-1 fallback, after the text's first source line.
// So a translation is written where the reader takes it:
//   - the first such line is one of the language: its text is replaced;
//   - it is a fallback line: the language's line (the one that was shadowed,
//     or a new one) goes right before it;
//   - there is none: a new line goes after the block's last translation line.
// The result is then read again, to make sure every merged text reads back
// as it stands in the PO file and to warn where another language of the file
// now reads the merged line in place of what it read before.
#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Commands.h"
#include "Output.h"
#include "PoFile.h"
#include "ToolError.h"
#include "TrxFile.h"
#include "TrxFormat.h"

namespace zel::trxtool {
namespace {

// Line edits, all keyed by the index of a line of the original file.
struct Plan {
  std::map<std::size_t, std::string> replace;
  std::set<std::size_t> remove;
  std::map<std::size_t, std::string> insertBefore;
  std::map<std::size_t, std::string> insertAfter;
};

struct OutLine {
  std::string content;
  bool merged = false;  // written by this merge
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

class Merger {
 public:
  Merger(const TrxFile& file, const std::string& language)
      : m_file(file), m_language(language), m_reading(readLanguage(file.lines, language)) {
    for (const SourceText& source : m_reading.sources) m_sources.emplace(source.text, &source);
    for (std::size_t i = 0; i < m_reading.lines.size(); ++i) {
      if (isTranslationKind(m_reading.lines[i].kind)) {
        m_defaultIndentation = indentationOf(file.lines[i]);
        break;
      }
    }
  }

  bool hasSource(const std::string& source) const { return m_sources.count(source) != 0; }

  // False when the dictionary already gives `translation`.
  bool changes(const std::string& source, const std::string& translation) const {
    const auto entry = m_reading.entries.find(source);
    return entry == m_reading.entries.end() || entry->second.text != translation;
  }

  // Plans the lines that make the reader give `encoded` (decoded: the PO
  // text) for `source`. Returns true when an existing line is rewritten.
  bool plan(const std::string& source, const std::string& encoded) {
    const std::string core = translationLine(m_language, encoded);
    const std::size_t start = m_sources.at(source)->firstLine;
    std::size_t end = start + 1;
    while (end < m_reading.lines.size() && m_reading.lines[end].kind != LineKind::Source) ++end;

    std::optional<std::size_t> firstRead;
    std::optional<std::size_t> lastTranslation;
    for (std::size_t i = start + 1; i < end; ++i) {
      const LineKind kind = m_reading.lines[i].kind;
      if (!firstRead && (kind == LineKind::Translation || kind == LineKind::Fallback)) firstRead = i;
      if (isTranslationKind(kind)) lastTranslation = i;
    }
    const std::vector<std::string>& lines = m_file.lines;
    if (firstRead && m_reading.lines[*firstRead].kind == LineKind::Translation) {
      m_plan.replace[*firstRead] = rewritten(lines[*firstRead], core);
      return true;
    }
    if (firstRead) {
      // A fallback line comes first: the language's own line moves before it.
      for (std::size_t i = *firstRead + 1; i < end; ++i) {
        if (m_reading.lines[i].kind == LineKind::Translation) {
          m_plan.remove.insert(i);
          m_plan.insertBefore[*firstRead] = rewritten(lines[i], core);
          return true;
        }
      }
      m_plan.insertBefore[*firstRead] =
          freshLine(indentationOf(lines[*firstRead]), lines[*firstRead], core);
      return false;
    }
    const std::size_t anchor = lastTranslation.value_or(start);
    m_plan.insertAfter[anchor] = freshLine(
        lastTranslation ? indentationOf(lines[anchor]) : m_defaultIndentation, lines[anchor], core);
    return false;
  }

  bool empty() const {
    return m_plan.replace.empty() && m_plan.insertBefore.empty() && m_plan.insertAfter.empty();
  }

  std::vector<OutLine> apply() const {
    std::vector<OutLine> out;
    for (std::size_t i = 0; i < m_file.lines.size(); ++i) {
      if (const auto before = m_plan.insertBefore.find(i); before != m_plan.insertBefore.end()) {
        out.push_back({before->second, true});
      }
      if (m_plan.remove.count(i) == 0) {
        const auto replaced = m_plan.replace.find(i);
        out.push_back(replaced == m_plan.replace.end() ? OutLine{m_file.lines[i], false}
                                                       : OutLine{replaced->second, true});
      }
      if (const auto after = m_plan.insertAfter.find(i); after != m_plan.insertAfter.end()) {
        out.push_back({after->second, true});
      }
    }
    return out;
  }

  // Whether the original line `index` was rewritten or moved by the merge.
  bool edited(std::size_t index) const {
    return m_plan.replace.count(index) != 0 || m_plan.remove.count(index) != 0;
  }

 private:
  const TrxFile& m_file;
  std::string m_language;
  LanguageReading m_reading;
  std::map<std::string, const SourceText*> m_sources;
  std::string m_defaultIndentation;
  Plan m_plan;
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

  Merger merger(file, language);
  std::vector<const PoMessage*> merged;
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
    if (merger.plan(message.source, *encodeText(message.translation))) {
      ++replaced;
    } else {
      ++added;
    }
    merged.push_back(&message);
  }

  const std::vector<OutLine> outLines = merger.apply();
  TrxFile result;
  result.path = options.output.empty() ? file.path : options.output;
  result.endsWithNewline = file.endsWithNewline;
  for (const OutLine& line : outLines) result.lines.push_back(line.content);

  // Read the result back: every merged text must come out as in the PO file.
  const LanguageReading check = readLanguage(result.lines, language);
  for (const PoMessage* message : merged) {
    const auto entry = check.entries.find(message->source);
    if (entry == check.entries.end() || entry->second.text != message->translation) {
      throw ToolError(file.path + ": internal error: the merged translation of " +
                      quoted(message->source) + " does not read back; nothing was written");
    }
  }
  // Other languages: warn where one now reads a merged line in place of a
  // different text it read from a line the merge did not touch.
  std::size_t warnings = 0;
  for (const std::string& other : languagesIn(file.lines)) {
    if (other == language) continue;
    const LanguageReading before = readLanguage(file.lines, other);
    const LanguageReading after = readLanguage(result.lines, other);
    for (const auto& [source, entry] : before.entries) {
      const auto now = after.entries.find(source);
      if (now == after.entries.end() || now->second.text == entry.text) continue;
      if (!outLines[now->second.line].merged || merger.edited(entry.line)) continue;
      ++warnings;
      err << result.path << ":" << now->second.line + 1 << ": warning: " << other
          << " now reads this " << language << " line as its fallback for " << quoted(source)
          << " instead of line " << entry.line + 1 << " of " << file.path << "\n";
    }
  }

  if (!merger.empty() || result.path != file.path) {
    replaceFile(result.path, result.bytes());
  }
  out << result.path << ": " << language << ": " << added << " added, " << replaced
      << " replaced, " << unchanged << " unchanged, " << fuzzy << " fuzzy not merged, "
      << untranslated << " untranslated";
  if (skipped) out << ", " << skipped << " not mergeable";
  out << "\n";
  return skipped + warnings > 0 ? 1 : 0;
}

}  // namespace zel::trxtool
