// zel-trx against the dictionary reader itself: what the tool says a
// dictionary holds, what a PO round trip leaves, and where from-po writes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <zel/StringUtilities.h>
#include <zel/Translation.h>

#include "Commands.h"
#include "PoFile.h"
#include "TrxFile.h"
#include "TrxFormat.h"

namespace zel::trxtool {
namespace {

namespace fs = std::filesystem;

// Read from every sample besides the languages it holds: variants and bare
// codes whose fallback lines are there, and languages that are not.
const std::vector<std::string> kLanguages = {"de", "de_CH", "de_ch", "de-AT", "fr",
                                             "en", "en_GB", "xx_YY", "it"};

// Translations that from-po must encode so that the reader gives them back:
// escapes, entities, what only looks like either, blanks at both ends.
const std::vector<std::string> kEditedTexts = {
    "plain", "back\\slash \\n \\\\", "line\nfeed\ttab", "<b> & \"q\" 'a'", "&amp", "&;lt;",
    "&&lt", " leading and trailing ", "\\", "ü 100%", "x\r"};

// `text` followed by the tokens of `source`, as msgfmt -c wants them.
std::string withTokensOf(const std::string& source, const std::string& text) {
  std::string result = text;
  for (const char digit : tokensIn(source)) result += std::string(" %") + digit;
  return result;
}

using Entries = std::map<std::string, std::string>;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void spill(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// What Translation::readFile takes for `language` from `path`. It keys every
// entry by "" or by the text of a source line.
Entries libraryReads(const fs::path& path, const std::string& language) {
  Translation library(language);
  library.readFile(path.string());
  std::vector<SourceText> keys = readLanguage(loadTrxFile(path.string()).lines, "").sources;
  keys.push_back({"", 0});
  Entries entries;
  for (const SourceText& key : keys) {
    if (library.isTranslatable(key.text)) entries[key.text] = library.translate(key.text, nullptr);
  }
  return entries;
}

// The lines of a dictionary file other than the translation lines of `language`.
std::vector<std::string> otherLines(const fs::path& path, const std::string& language) {
  const std::string tag = "<translation lang=\"" + language + "\">";
  std::vector<std::string> kept;
  for (const std::string& line : loadTrxFile(path.string()).lines) {
    if (line.find(tag) == std::string::npos) kept.push_back(line);
  }
  return kept;
}

class ZelTrx : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(m_dir); }
  void TearDown() override { fs::remove_all(m_dir); }

  // The shipped dictionaries and the tool's samples, and each of them again
  // with carriage returns before its line feeds and without the last one.
  std::vector<fs::path> samples() const {
    std::vector<fs::path> files;
    for (const char* dir : {"data", "tools/zel-trx/tests"}) {
      for (const fs::path& path : fs::directory_iterator(fs::path(ZEL_TRX_SOURCE_DIR) / dir)) {
        if (path.extension() != ".trx") continue;
        const fs::path crlf = m_dir / path.filename().replace_extension(".crlf.trx");
        const std::string text = StringUtilities::replaceSubstring(slurp(path), "\n", "\r\n");
        spill(crlf, text.substr(0, text.size() - 2));
        files.insert(files.end(), {path, crlf});
      }
    }
    return files;
  }

  const fs::path m_dir = fs::temp_directory_path() / ("zel-trx-" + std::to_string(::getpid()));
  const std::string m_po = (m_dir / "written.po").string();
  const std::string m_trx = (m_dir / "written.trx").string();
  std::ostringstream m_out, m_err;
};

// For every sample and language: the tool reads what the library reads;
// msgfmt -c takes the PO file of to-po; from-po of it unchanged gives the file
// back byte for byte; with every text changed, the language reads back exactly
// the new texts and every line of the other languages stays as it was.
TEST_F(ZelTrx, ReadsAsTheLibraryDoesAndCarriesEveryLanguageThroughPoExactly) {
  for (const fs::path& path : samples()) {
    const TrxFile file = loadTrxFile(path.string());
    std::vector<std::string> languages = languagesIn(file.lines);
    languages.insert(languages.end(), kLanguages.begin(), kLanguages.end());
    for (const std::string& language : languages) {
      SCOPED_TRACE(path.filename().string() + " " + language);
      Entries tool;
      for (const auto& [source, entry] : readLanguage(file.lines, language).entries) {
        tool[source] = entry.text;
      }
      const Entries library = libraryReads(path, language);
      EXPECT_EQ(tool, library);

      ASSERT_EQ(runToPo({path.string(), language, m_po}, m_out, m_err), 0);
#ifdef ZEL_TRX_MSGFMT
      EXPECT_EQ(std::system((ZEL_TRX_MSGFMT " -c -o /dev/null '" + m_po + "'").c_str()), 0);
#endif
      ASSERT_EQ(runFromPo({path.string(), m_po, m_trx}, m_out, m_err), 0) << m_err.str();
      EXPECT_EQ(slurp(m_trx), slurp(path));

      PoCatalog catalog = readPoFile(m_po);
      for (std::size_t i = 0; i < catalog.messages.size(); ++i) {
        catalog.messages[i].translation =
            withTokensOf(catalog.messages[i].source, kEditedTexts[i % kEditedTexts.size()]);
        catalog.messages[i].fuzzy = false;
      }
      // A merge that would change what another language reads is refused as
      // a whole; without the texts it names, the rest goes through.
      for (int attempt = 0; attempt < 2; ++attempt) {
        fs::remove(m_trx);
        writePoFile(m_po, catalog);
        m_err.str("");
        const int status = runFromPo({path.string(), m_po, m_trx}, m_out, m_err);
        if (status == 0) break;
        ASSERT_EQ(attempt, 0) << m_err.str();
        ASSERT_EQ(status, 1) << m_err.str();
        EXPECT_FALSE(fs::exists(m_trx));
        std::vector<PoMessage> kept;
        for (const PoMessage& message : catalog.messages) {
          if (m_err.str().find(quoted(message.source) + " cannot be merged") == std::string::npos) {
            kept.push_back(message);
          }
        }
        ASSERT_LT(kept.size(), catalog.messages.size()) << m_err.str();
        catalog.messages = kept;
      }
      Entries expected = library;  // every merged text changes, the entry of "" stays
      for (const PoMessage& message : catalog.messages) {
        expected[message.source] = message.translation;
      }
      EXPECT_EQ(libraryReads(m_trx, language), expected);
      EXPECT_EQ(otherLines(m_trx, language), otherLines(path, language));
      for (const std::string& other : languagesIn(file.lines)) {
        if (other == language) continue;
        SCOPED_TRACE("read by " + other);
        EXPECT_EQ(libraryReads(m_trx, other), libraryReads(path, other));
      }
    }
  }
  // The reader resolves these wherever they stand: no dictionary line gives them.
  for (const char* impossible : {"&amp;", "a &lt; b", "&gt;", "&quot;x", "it&apos;s"}) {
    EXPECT_FALSE(encodeText(impossible)) << impossible;
  }
}

// "<Neu>" for "Open" in de_CH, merged into the dictionary file itself.
TEST_F(ZelTrx, FromPoWritesTheLineWhereTheReaderTakesIt) {
  spill(m_po, "msgid \"\"\nmsgstr \"Language: de_CH\\n\"\n\nmsgid \"Open\"\nmsgstr \"<Neu>\"\n");
  const struct { const char *name, *before, *after; int status; } cases[] = {
      {"replaces the own line in place, keeping indentation and line end",
       "<source>Open<\\source>\r\n\t<translation lang=\"de_CH\">Alt<\\translation>\r\n",
       "<source>Open<\\source>\r\n\t<translation lang=\"de_CH\">&lt;Neu&gt;<\\translation>\r\n", 0},
      {"moves a line shadowed by a fallback line before it",
       "<source>Open<\\source>\n  <translation lang=\"de\">De<\\translation>\n"
       "  <translation lang=\"fr\">Fr<\\translation>\n"
       "  <translation lang=\"de_CH\">Alt<\\translation>\n",
       "<source>Open<\\source>\n  <translation lang=\"de_CH\">&lt;Neu&gt;<\\translation>\n"
       "  <translation lang=\"de\">De<\\translation>\n"
       "  <translation lang=\"fr\">Fr<\\translation>\n", 0},
      {"adds a line before a fallback line, ending like it",
       "<source>Open<\\source>\r\n <translation lang=\"de\">De<\\translation>\r\n"
       "<source>Save<\\source>\r\n <translation lang=\"fr\">Sauver<\\translation>\r\n",
       "<source>Open<\\source>\r\n <translation lang=\"de_CH\">&lt;Neu&gt;<\\translation>\r\n"
       " <translation lang=\"de\">De<\\translation>\r\n"
       "<source>Save<\\source>\r\n <translation lang=\"fr\">Sauver<\\translation>\r\n", 0},
      {"refuses a line that another variant of the file would read as its fallback",
       "<source>Open<\\source>\n <translation lang=\"de\">De<\\translation>\n"
       "<source>Save<\\source>\n <translation lang=\"de_AT\">Sichern<\\translation>\n",
       "<source>Open<\\source>\n <translation lang=\"de\">De<\\translation>\n"
       "<source>Save<\\source>\n <translation lang=\"de_AT\">Sichern<\\translation>\n", 1},
      {"replaces the language's line where it stands, in a later block of the text",
       "<source>Open<\\source>\n  <translation lang=\"fr\">Fr<\\translation>\n<!-- x -->\n"
       "<source>Open<\\source>\n  <translation lang=\"de_CH\">Später<\\translation>",
       "<source>Open<\\source>\n  <translation lang=\"fr\">Fr<\\translation>\n<!-- x -->\n"
       "<source>Open<\\source>\n  <translation lang=\"de_CH\">&lt;Neu&gt;<\\translation>", 0},
      {"adds a line after the block's last translation, in the first block",
       "<source>Open<\\source>\n  <translation lang=\"fr\">Fr<\\translation>\n<!-- x -->\n"
       "<source>Open<\\source>\n  <translation lang=\"it\">Apri<\\translation>",
       "<source>Open<\\source>\n  <translation lang=\"fr\">Fr<\\translation>\n"
       "  <translation lang=\"de_CH\">&lt;Neu&gt;<\\translation>\n<!-- x -->\n"
       "<source>Open<\\source>\n  <translation lang=\"it\">Apri<\\translation>", 0},
      {"adds a line after the lines another language reads in a later block",
       "<source>Open<\\source>\n  <translation lang=\"fr\">Fr<\\translation>\n"
       "<source>Open<\\source>\n  <translation lang=\"d_X\">Dx<\\translation>\n",
       "<source>Open<\\source>\n  <translation lang=\"fr\">Fr<\\translation>\n"
       "<source>Open<\\source>\n  <translation lang=\"d_X\">Dx<\\translation>\n"
       "  <translation lang=\"de_CH\">&lt;Neu&gt;<\\translation>\n", 0},
      {"adds a line after a last source line without line end, indented like the file",
       "<source>Save<\\source>\n    <translation lang=\"fr\">Fr<\\translation>\n"
       "<source>Open<\\source>",
       "<source>Save<\\source>\n    <translation lang=\"fr\">Fr<\\translation>\n"
       "<source>Open<\\source>\n    <translation lang=\"de_CH\">&lt;Neu&gt;<\\translation>", 0},
  };
  for (const auto& placement : cases) {
    SCOPED_TRACE(placement.name);
    spill(m_trx, placement.before);
    EXPECT_EQ(runFromPo({m_trx, m_po, ""}, m_out, m_err), placement.status) << m_err.str();
    EXPECT_EQ(slurp(m_trx), placement.after);
  }
}

}  // namespace
}  // namespace zel::trxtool
