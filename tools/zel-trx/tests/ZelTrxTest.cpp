// zel-trx against the dictionary reader itself: what the tool says a
// dictionary holds, what a PO round trip leaves, and where from-po writes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <zel/StringUtilities.h>
#include <zel/Translation.h>

#include "Commands.h"
#include "PoFile.h"
#include "TranslationFile.h"
#include "TrxFile.h"
#include "TrxFormat.h"

namespace zel::trxtool {
namespace {

namespace fs = std::filesystem;

// Escapes, entities, leading blanks, carriage returns, fallback lines before
// and after the exact ones, shadowed and duplicated lines, short and unclosed
// lines, a translation before the first source line, tags that only begin
// like a language.
const char* const kTricky =
    "<?xml version=\"1.0\"?>\n"
    "<translation lang=\"fr\">Avant tout<\\translation>\n"
    "<source>Tab\\there, back\\\\slash, \\\\n<\\source>\n"
    "    <translation lang=\"de\">Tab\\tda &amp;lt; \\&lt;<\\translation>\n"
    "\t<translation lang=\"de_CH\">Tab\\thier<\\translation>\r\n"
    "  <translation lang=\"fr\">Tab &quot;ici&quot; &apos;l&agrave;&apos;<\\translation>\n"
    "<source>&lt;b&gt; %1 &amp; %2<\\source>\r\n"
    "  <translation lang=\"de_CH\">&lt;b&gt; %2 &amp; %1<\\translation>\n"
    "  <translation lang=\"de\">&lt;b&gt; %1 und %2<\\translation>\n"
    "  <translation lang=\"de_ch\">klein<\\translation>\n"
    "  <translation lang=\"eng\">eng<\\translation>\n"
    "  <translation lang=\"en_GB\">  leading blanks<\\translation>\n"
    "<source>Line one\\nLine two</source>\n"
    "  <translation lang=\"en_GB\"><\\translation>\n"
    "  <translation lang=\"fr\">Ligne un\\nLigne deux\\<\\translation>\n"
    "  <translation lang=\"fr\">Ombre<\\translation>\n"
    "<source>OK\n"
    "  <translation lang=\"de_CH\">Gut\n"
    "  <translation lang=\"en\">Fine and dandy, no closing tag\n"
    "<source>Tab\\there, back\\\\slash, \\\\n<\\source>\n"
    "  <translation lang=\"de_CH\">Zu spät<\\translation>\n"
    "  <translation lang=de>ignored<\\translation>\n"
    "<source>Only French &amp; Swiss<\\source>\n"
    "  <translation lang=\"de_CH\" no tag end\n"
    "  <translation lang=\"fr\">Seulement 100%<\\translation>";

const std::vector<std::string> kLanguages = {"de", "de_CH", "de_ch", "de-AT", "fr",
                                             "en", "en_GB", "xx_YY"};

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void spill(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class ZelTrx : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() /
            ("zel-trx-test-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  // The shipped dictionaries, the tool's samples and the tricky one.
  std::vector<fs::path> samples() const {
    std::vector<fs::path> files;
    for (const char* dir : {"data", "tools/zel-trx/tests"}) {
      for (const auto& entry : fs::directory_iterator(fs::path(ZEL_TRX_SOURCE_DIR) / dir)) {
        if (entry.path().extension() == ".trx") files.push_back(entry.path());
      }
    }
    spill(m_dir / "tricky.trx", kTricky);
    files.push_back(m_dir / "tricky.trx");
    return files;
  }

  fs::path m_dir;
};

// The texts every entry of a dictionary could be keyed by: the reader keys
// entries by the current source text, which is "" or a source line's text.
std::set<std::string> possibleKeys(const std::vector<std::string>& lines) {
  std::set<std::string> keys = {""};
  for (const SourceText& source : readLanguage(lines, "").sources) keys.insert(source.text);
  return keys;
}

// Both dictionaries hold the same entries over `keys`.
void expectSameDictionary(const Translation& expected, const Translation& actual,
                          const std::set<std::string>& keys) {
  for (const std::string& key : keys) {
    bool expectedFound = false;
    bool actualFound = false;
    const std::string expectedText = expected.translate(key, &expectedFound);
    const std::string actualText = actual.translate(key, &actualFound);
    EXPECT_EQ(expectedFound, actualFound) << "source text " << quoted(key);
    EXPECT_EQ(expectedText, actualText) << "source text " << quoted(key);
  }
}

Translation readWithLibrary(const fs::path& path, const std::string& language) {
  Translation dictionary(language);
  dictionary.setTranslationPolicy(HideMissing);
  dictionary.readFile(path.string());
  return dictionary;
}

TEST_F(ZelTrx, ReadsEveryDictionaryExactlyAsTheLibraryReaderDoes) {
  for (const fs::path& path : samples()) {
    const TrxFile file = loadTrxFile(path.string());
    std::vector<std::string> languages = kLanguages;
    for (const std::string& language : languagesIn(file.lines)) languages.push_back(language);
    for (const std::string& language : languages) {
      SCOPED_TRACE(path.filename().string() + " " + language);
      const LanguageReading reading = readLanguage(file.lines, language);
      const Translation library = readWithLibrary(path, language);
      for (const std::string& key : possibleKeys(file.lines)) {
        bool found = false;
        const std::string text = library.translate(key, &found);
        const auto entry = reading.entries.find(key);
        ASSERT_EQ(found, entry != reading.entries.end()) << quoted(key);
        if (found) {
          EXPECT_EQ(text, entry->second.text) << quoted(key);
        }
      }
    }
  }
}

TEST(ZelTrxFormat, EncodedTextsReadBackThroughTheLibraryExtraction) {
  const std::string open = std::string(kTranslationOpen) + "de" + kTranslationTagEnd;
  for (const std::string text :
       {"plain", "", "back\\slash \\n \\\\", "line\nfeed\ttab", "<b> & \"q\" 'a'",
        "&amp", "&;lt;", "&&lt", " leading and trailing ", "\\", "ü %1 100%", "x\r"}) {
    SCOPED_TRACE(quoted(text));
    const auto encoded = encodeText(text);
    ASSERT_TRUE(encoded);
    const std::string line = StringUtilities::removeWhitespace(translationLine("de", *encoded));
    EXPECT_EQ(trx::extractText(line, open.size(), kTranslationCloseLength), text);
  }
  for (const char* impossible : {"&amp;", "a &lt; b", "&gt;", "&quot;x", "it&apos;s"}) {
    EXPECT_FALSE(encodeText(impossible)) << impossible;
  }
}

// to-po then from-po of an unchanged PO file: msgfmt -c takes the PO file,
// and the dictionary file stays as it was, for every language.
TEST_F(ZelTrx, RoundTripThroughPoKeepsEveryDictionary) {
  std::ostringstream out, err;
  for (const fs::path& path : samples()) {
    const TrxFile original = loadTrxFile(path.string());
    for (const std::string& language : languagesIn(original.lines)) {
      SCOPED_TRACE(path.filename().string() + " " + language);
      const fs::path po = m_dir / (language + ".po");
      const fs::path result = m_dir / "result.trx";
      ASSERT_EQ(runToPo({path.string(), language, po.string()}, out, err), 0);
#ifdef ZEL_TRX_MSGFMT
      const std::string msgfmt = std::string(ZEL_TRX_MSGFMT) + " -c -o /dev/null '" +
                                 po.string() + "' 2>'" + (m_dir / "msgfmt.log").string() + "'";
      EXPECT_EQ(std::system(msgfmt.c_str()), 0) << slurp(m_dir / "msgfmt.log");
#endif
      ASSERT_EQ(runFromPo({path.string(), po.string(), result.string()}, out, err), 0)
          << err.str();
      EXPECT_EQ(slurp(result), original.bytes());
      for (const std::string& other : kLanguages) {
        expectSameDictionary(readWithLibrary(path, other), readWithLibrary(result, other),
                             possibleKeys(original.lines));
      }
    }
  }
}

// Every PO text changed: the merged language reads back exactly the new
// texts, and the lines of other languages stay byte for byte.
TEST_F(ZelTrx, MergedTranslationsReadBackExactlyAndLeaveOtherLanguagesAlone) {
  const fs::path trx = m_dir / "tricky.trx";
  spill(trx, kTricky);
  std::ostringstream out, err;
  // Swiss lines are fallback lines for "de_ch": moving one before the "de"
  // line it read gets a warning.
  const std::pair<std::string, int> languages[] = {{"de_CH", 1}, {"fr", 0}, {"en_GB", 0}, {"it", 0}};
  for (const auto& [language, status] : languages) {
    SCOPED_TRACE(language);
    const fs::path po = m_dir / "edited.po";
    const fs::path result = m_dir / "result.trx";
    ASSERT_EQ(runToPo({trx.string(), language, po.string()}, out, err), 0);
    PoCatalog catalog = readPoFile(po.string());
    for (PoMessage& message : catalog.messages) {
      message.translation = "«" + message.source + "» \\n & <x>\n\t" + language;
      message.fuzzy = false;
    }
    writePoFile(po.string(), catalog);
    ASSERT_EQ(runFromPo({trx.string(), po.string(), result.string()}, out, err), status)
        << err.str();

    const Translation merged = readWithLibrary(result, language);
    for (const PoMessage& message : catalog.messages) {
      bool found = false;
      EXPECT_EQ(merged.translate(message.source, &found), message.translation);
      EXPECT_TRUE(found);
    }
    const auto otherLines = [&](const TrxFile& file) {
      std::vector<std::string> kept;
      for (const std::string& line : file.lines) {
        if (translationLanguage(StringUtilities::removeWhitespace(line)) != language) {
          kept.push_back(line);
        }
      }
      return kept;
    };
    EXPECT_EQ(otherLines(loadTrxFile(result.string())), otherLines(loadTrxFile(trx.string())));
  }
}

struct Placement {
  const char* name;
  const char* before;
  const char* translation;  // for "Open", language de_CH
  const char* after;
};

TEST_F(ZelTrx, FromPoWritesTheLineWhereTheReaderTakesIt) {
  const Placement cases[] = {
      {"replaces the own line in place, keeping indentation and line end",
       "<source>Open<\\source>\r\n\t<translation lang=\"de_CH\">Alt<\\translation>\r\n",
       "Neu & <mehr>",
       "<source>Open<\\source>\r\n\t<translation lang=\"de_CH\">Neu &amp; &lt;mehr&gt;<\\translation>\r\n"},
      {"moves a line shadowed by a fallback line before it",
       "<source>Open<\\source>\n  <translation lang=\"de\">De<\\translation>\n"
       "  <translation lang=\"fr\">Fr<\\translation>\n  <translation lang=\"de_CH\">Alt<\\translation>\n",
       "Neu",
       "<source>Open<\\source>\n  <translation lang=\"de_CH\">Neu<\\translation>\n"
       "  <translation lang=\"de\">De<\\translation>\n  <translation lang=\"fr\">Fr<\\translation>\n"},
      {"adds a line before a fallback line",
       "<source>Open<\\source>\n <translation lang=\"de\">De<\\translation>\n",
       "Neu",
       "<source>Open<\\source>\n <translation lang=\"de_CH\">Neu<\\translation>\n"
       " <translation lang=\"de\">De<\\translation>\n"},
      {"adds a line after the block's last translation, in the first block",
       "<source>Open<\\source>\n  <translation lang=\"fr\">Fr<\\translation>\n<!-- x -->\n"
       "<source>Open<\\source>\n  <translation lang=\"de_CH\">Später<\\translation>",
       "Neu\\n",
       "<source>Open<\\source>\n  <translation lang=\"fr\">Fr<\\translation>\n"
       "  <translation lang=\"de_CH\">Neu\\\\n<\\translation>\n<!-- x -->\n"
       "<source>Open<\\source>\n  <translation lang=\"de_CH\">Später<\\translation>"},
      {"adds a line after a last source line without line end, indented like the file",
       "<source>Save<\\source>\n    <translation lang=\"fr\">Fr<\\translation>\n<source>Open<\\source>",
       "Neu",
       "<source>Save<\\source>\n    <translation lang=\"fr\">Fr<\\translation>\n<source>Open<\\source>\n"
       "    <translation lang=\"de_CH\">Neu<\\translation>"},
  };
  for (const Placement& placement : cases) {
    SCOPED_TRACE(placement.name);
    const fs::path trx = m_dir / "placement.trx";
    const fs::path po = m_dir / "placement.po";
    spill(trx, placement.before);
    PoCatalog catalog;
    catalog.language = "de_CH";
    catalog.messages.emplace_back();
    catalog.messages.back().source = "Open";
    catalog.messages.back().translation = placement.translation;
    writePoFile(po.string(), catalog);
    std::ostringstream out, err;
    EXPECT_EQ(runFromPo({trx.string(), po.string(), ""}, out, err), 0) << err.str();
    EXPECT_EQ(slurp(trx), placement.after);
  }
}

}  // namespace
}  // namespace zel::trxtool
