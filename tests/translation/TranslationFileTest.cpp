// The .trx reader: line kinds, fallback and shadowing, escapes and entities,
// and input that must neither crash nor hang.
#include <gtest/gtest.h>
#include <zel/DataError.h>
#include <zel/Translation.h>

#include <optional>
#include <string>

#include "TestSupport.h"
#include "TranslationFile.h"
#include "TrxFiles.h"

namespace zel {
namespace {

using test::readAsFile;
using test::TrxFolder;
using Entry = std::optional<std::string>;

Entry entryOf(const Translation& dictionary, const std::string& source) {
  bool found = false;
  std::string text = dictionary.translate(source, &found);
  return found ? Entry(text) : std::nullopt;
}

TEST(TranslationFile, ReadsTheWorkedExampleLineByLine) {
  struct Row {
    const char* line;
    Entry openFile;
    Entry twoLines;
  };
  const Row rows[] = {
      {R"(<source>Open file<\source>)", std::nullopt, std::nullopt},
      {R"(<translation lang="fr">Ouvrir le fichier<\translation>)",
       std::nullopt, std::nullopt},
      {R"(<translation lang="de">Datei &amp; Ordner<\translation>)",
       "Datei & Ordner", std::nullopt},
      {R"(<translation lang="de_CH">Datei<\translation>)", "Datei & Ordner",
       std::nullopt},
      {R"(  <source>Line one\nLine two<\source>)", "Datei & Ordner",
       std::nullopt},
      {R"(<translation lang="de_CH">Zeile eins\nZeile zwei<\translation>)",
       "Datei & Ordner", "Zeile eins\nZeile zwei"}};
  std::string file;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    file += std::string(row.line) + "\n";
    const Translation dictionary = readAsFile("de_CH", file);
    EXPECT_EQ(entryOf(dictionary, "Open file"), row.openFile);
    EXPECT_EQ(entryOf(dictionary, "Line one\nLine two"), row.twoLines);
  }
}

TEST(TranslationFile, ReadsTheLinesOfItsLanguageAndOfItsIsoCode) {
  // Each line follows <source>OK<\source>.
  const struct {
    const char* language;
    const char* line;
    Entry expected;
  } cases[] = {
      {"de_CH", R"(<translation lang="de_CH">Gut<\translation>)", "Gut"},
      {"de_CH", R"(<translation lang="de_CH">Gut</translation>)", "Gut"},
      {"de_CH", R"(<translation lang="de_CH">Gut)", "Gut"},
      {"de_CH", R"(<translation lang="de_CH"><\translation>)", ""},
      {"de_CH", " \t<translation lang=\"de_CH\">Gut<\\translation> \r", "Gut"},
      {"de_CH", R"(<translation lang="de_ch">Gut<\translation>)", "Gut"},
      {"de_CH", R"(<translation lang="de">a>b<\translation>)", "a>b"},
      {"de_CH", R"(<translation lang="deu" >Gut<\translation>)", "Gut"},
      {"de_CH", R"(<translation lang="de no tag end)", std::nullopt},
      {"de_CH", R"(<translation lang="fr">Gut<\translation>)", std::nullopt},
      {"de_CH", R"(<Translation lang="de_CH">Gut<\translation>)", std::nullopt},
      {"de", R"(<translation lang="de_CH">Gut<\translation>)", std::nullopt},
      {"de", R"(<translation lang="de">Gut<\translation>)", "Gut"},
      {"fr", R"(<translation lang="fr_FR">Gut<\translation>)", std::nullopt},
      {"en_GB", R"(<translation lang="eng">Gut<\translation>)", "Gut"},
      {"en_GB", R"(<translation lang="en-AU">Gut<\translation>)", "Gut"},
      {"de-CH", R"(<translation lang="de_AT">Gut<\translation>)", "Gut"},
      {"zh-Hant_TW", R"(<translation lang="zh_CN">Gut<\translation>)", "Gut"},
      {"_GB", R"(<translation lang="_GB">Gut<\translation>)", "Gut"},
      {"_GB", R"(<translation lang="">Gut<\translation>)", std::nullopt},
      {"", R"(<translation lang="">Gut<\translation>)", "Gut"},
      {"de_CH",
       R"(<translation lang="de_CH">x\ty &lt;z&gt; \&lt; &amp;n<\translation>)",
       "x\ty <z> < &n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.language) + " | " + c.line);
    const std::string file = std::string("<source>OK<\\source>\n") + c.line;
    EXPECT_EQ(entryOf(readAsFile(c.language, file), "OK"), c.expected);
  }
}

TEST(TranslationFile, TakesSourceTextsAndKeepsTheFirstTranslation) {
  const struct {
    const char* file;
    const char* source;
    const char* expected;
  } cases[] = {
      {"<source>OK\n<translation lang=\"de_CH\">Gut", "OK", "Gut"},
      {"<source>Hello world\n<translation lang=\"de_CH\">Hallo", "He", "Hallo"},
      {"<source>OK</source>\n<translation lang=\"de_CH\">Gut", "OK", "Gut"},
      {"<source>OK<\\source>\n<translation lang=\"de_CH\">A<\\translation>\n"
       "<translation lang=\"de_CH\">B<\\translation>",
       "OK", "A"},
      {"<translation lang=\"de_CH\">Leer<\\translation>\n<source>OK<\\source>",
       "", "Leer"},
      {" \t<source>OK<\\source>\r\n<translation lang=\"de_CH\">Gut", "OK",
       "Gut"},
      {"<source> two  words <\\source>\n<translation lang=\"de_CH\">zwei",
       " two  words ", "zwei"},
      {"<source>A<\\source>\n<SOURCE>B<\\source>\nx<source>C<\\source>\n"
       "<translation lang=\"de_CH\">T",
       "A", "T"},
      {"<source>a\\nb &amp; c<\\source>\n<translation lang=\"de_CH\">T",
       "a\nb & c", "T"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(entryOf(readAsFile("de_CH", c.file), c.source),
              Entry(c.expected));
  }
}

TEST(TranslationFile, ResolvesEscapesThenEntities) {
  const std::pair<const char*, const char*> escapes[] = {
      {"a\\nb", "a\nb"}, {"a\\tb", "a\tb"},  {"\\\\n", "\\n"},
      {"\\\\", "\\"},    {"\\x\\\"", "x\""}, {"end\\", "end"},
      {"\\", ""},        {"plain", "plain"}};
  for (const auto& [text, expected] : escapes) {
    SCOPED_TRACE(text);
    EXPECT_EQ(trx::unescapeText(text), expected);
  }
  const std::pair<const char*, const char*> entities[] = {
      {"&amp;&lt;&gt;&quot;&apos;", "&<>\"'"},
      {"&amp;lt;", "<"},
      {"&amp;amp;", "&amp;"},
      {"&nbsp; &AMP; & ;", "&nbsp; &AMP; & ;"}};
  for (const auto& [text, expected] : entities) {
    SCOPED_TRACE(text);
    EXPECT_EQ(trx::decodeEntities(text), expected);
  }
  EXPECT_EQ(trx::extractText("<source>\\&lt;<\\source>", 8, 9), "<");
  EXPECT_EQ(trx::extractText("<source>&amp;n<\\source>", 8, 9), "&n");
  EXPECT_EQ(trx::extractText("<source>&lt\\;<\\source>", 8, 9), "<");
  EXPECT_EQ(trx::extractText("<source>&amp;amp;<\\source>", 8, 9), "&amp;");
  EXPECT_EQ(trx::extractText("<source>", 8, 9), "");
  EXPECT_EQ(trx::extractText("<s", 8, 9), "");
}

TEST(TranslationFile, SurvivesHugeBinaryAndTruncatedLines) {
  const std::string huge(8 << 20, 'a');
  const Translation big = readAsFile(
      "de_CH", "<source>" + huge + "<\\source>\n<translation lang=\"de_CH\">" +
                   huge + "b<\\translation>");
  EXPECT_TRUE(big.translate(huge, nullptr) == huge + "b");

  std::string binary = "<source>a";
  binary +=
      std::string("\0\xff\x01", 3) + "<\\source>\n<translation lang=\"de_CH\">";
  for (int byte = 0; byte < 256; ++byte) {
    binary += static_cast<char>(byte);
  }
  const Translation bytes = readAsFile("de_CH", binary);
  EXPECT_TRUE(bytes.isTranslatable(std::string("a\0\xff\x01", 4)));

  const Translation shorts =
      readAsFile("de_CH",
                 "<\n>\n\\\n&\n<source\n<translation lang=\"de\n<translation "
                 "lang=\"de_CH\"\n"
                 "<translation lang=\"de_CH\">\n<translation\n");
  EXPECT_EQ(entryOf(shorts, ""), Entry(""));
}

TEST(TranslationFile, UnreadableFileThrowsNotFoundAndChangesNothing) {
  TrxFolder folder;
  Translation dictionary("de_CH");
  dictionary.readFile(
      folder.write("ok.trx",
                   "<source>OK<\\source>\n"
                   "<translation lang=\"de_CH\">Gut<\\translation>\n"));
  for (const std::string& name :
       {folder.path() + "/missing.trx", folder.path(), std::string()}) {
    SCOPED_TRACE(name);
    EXPECT_ZEL_THROW(dictionary.readFile(name), data::notFound, "Translation",
                     "readFile",
                     "Error loading dictionaries: cannot read file " + name, 4);
  }
  EXPECT_EQ(entryOf(dictionary, "OK"), Entry("Gut"));
  dictionary.readFile(folder.write("empty.trx", ""));
  EXPECT_FALSE(dictionary.isTranslatable(""));
}

}  // namespace
}  // namespace zel
