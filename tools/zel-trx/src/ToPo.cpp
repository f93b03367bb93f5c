// `zel-trx to-po`: one language of a dictionary file as a PO file, one
// message per source text, in the order of the file.
#include <string>

#include <zel/StringUtilities.h>

#include "Commands.h"
#include "Output.h"
#include "PoFile.h"
#include "ToolError.h"
#include "TrxFile.h"
#include "TrxFormat.h"

namespace zel::trxtool {
namespace {

std::string baseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string withoutExtension(const std::string& name) {
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

void requireUtf8(const TrxFile& file, std::size_t line, const std::string& text) {
  if (!isValidUtf8(text)) {
    throw ToolError(file.path + ":" + std::to_string(line + 1) +
                    ": the text is not valid UTF-8, which a PO file needs");
  }
}

}  // namespace

int runToPo(const ToPoOptions& options, std::ostream& out, std::ostream& err) {
  const TrxFile file = loadTrxFile(options.trxPath);
  requireUsableLanguage(file, options.language, file.path);
  const LanguageReading reading = readLanguage(file.lines, options.language);
  const std::string name = baseName(file.path);

  PoCatalog catalog;
  catalog.language = options.language;
  catalog.project = withoutExtension(name);
  catalog.headerComment = "Translations of " + name + " into " + options.language +
                          ".\nMerge them back with: zel-trx from-po " + name +
                          " <this file>";
  std::size_t translated = 0;
  std::size_t fuzzy = 0;
  for (const SourceText& source : reading.sources) {
    const auto entry = reading.entries.find(source.text);
    if (source.text.empty()) {
      // A PO file keeps the empty msgid for its header.
      err << file.path << ":" << source.firstLine + 1
          << ": warning: the empty source text cannot be a PO message; left out\n";
      continue;
    }
    PoMessage message;
    message.source = source.text;
    message.qtFormat = !tokensIn(source.text).empty();
    message.referenceFile = name;
    message.referenceLine = source.firstLine + 1;
    requireUtf8(file, source.firstLine, source.text);
    if (entry != reading.entries.end()) {
      requireUtf8(file, entry->second.line, entry->second.text);
      message.translation = entry->second.text;
      if (entry->second.fromFallback) {
        message.comment =
            "taken from the fallback line " + std::to_string(entry->second.line + 1) + " (\"" +
            writtenTag(StringUtilities::removeWhitespace(file.lines[entry->second.line])) + "\")";
      }
    }
    if (!message.translation.empty()) {
      ++translated;
      // What msgfmt -c would reject goes out fuzzy: it is not compiled, the
      // translator's editor shows it for review, and from-po leaves it alone.
      for (const std::string& problem : checkMessage(message)) {
        message.fuzzy = true;
        message.comment += (message.comment.empty() ? "" : "\n") + ("needs review: " + problem);
        err << file.path << ":" << entry->second.line + 1
            << ": warning: marked fuzzy: " << problem << "\n";
      }
      if (message.fuzzy) ++fuzzy;
    }
    catalog.messages.push_back(std::move(message));
  }
  // The report goes out first: where it cannot, the file stays as it was.
  if (options.output != "-") {
    out << options.output << ": " << catalog.messages.size() << " messages, " << translated
        << " translated, " << fuzzy << " marked fuzzy\n";
    flushReport(out);
  }
  writePoFile(options.output, catalog);
  return 0;
}

}  // namespace zel::trxtool
