// The dictionary of one language: lookup under its policy, copies and moves,
// package files found through the environment, and the shipped dictionaries.
#include <gtest/gtest.h>
#include <zel/DataError.h>
#include <zel/StringUtilities.h>
#include <zel/Translation.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "TranslationFile.h"
#include "TrxFiles.h"

namespace zel {
namespace {

using test::readAsFile;
using test::ScopedEnv;
using test::TrxFolder;

const char kOpenFile[] = R"(<source>Open<\source>
<translation lang="de_DE">Öffnen<\translation>
<source>Empty<\source>
<translation lang="de_DE"><\translation>
)";

TEST(Translation, AnswersMissingTextsAsItsPolicySays) {
  std::optional<Translation> showing;
  {
    ScopedEnv set("QEN_SHOW_MISSING_TRANSLATIONS", "");
    showing.emplace(readAsFile("de_DE", kOpenFile));
  }
  ScopedEnv unset("QEN_SHOW_MISSING_TRANSLATIONS", std::nullopt);
  const Translation copy(*showing);  // made without the variable
  const Translation hiding = readAsFile("de_DE", kOpenFile);
  Translation odd("de_DE");
  odd.setTranslationPolicy(static_cast<TranslationPolicy>(7));
  const struct {
    const Translation& dictionary;
    const char* text;
    const char* expected;
    bool found;
  } cases[] = {
      {hiding, "Open", "Öffnen", true},  {hiding, "Missing", "Missing", false},
      {hiding, "Empty", "", true},       {copy, "Missing", "[Missing]", false},
      {copy, "", "[]", false},           {copy, "Open", "Öffnen", true},
      {odd, "Missing", "Missing", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    bool found = !c.found;
    EXPECT_EQ(c.dictionary.translate(c.text, &found), c.expected);
    EXPECT_EQ(found, c.found);
    EXPECT_EQ(c.dictionary.translate(c.text, nullptr), c.expected);
  }
}

TEST(Translation, MovedFromDictionaryKeepsItsLanguageAndPolicyButNoEntries) {
  ScopedEnv set("QEN_SHOW_MISSING_TRANSLATIONS", "1");
  Translation source = readAsFile("de_DE", kOpenFile);
  Translation target(std::move(source));
  EXPECT_EQ(target.translate("Open", nullptr), "Öffnen");
  // The moved-from dictionary is used on purpose.
  EXPECT_EQ(source.translate("Open", nullptr), "[Open]");  // NOLINT
  TrxFolder folder;
  source.readFile(folder.write("again.trx", kOpenFile));
  EXPECT_EQ(source.translate("Open", nullptr), "Öffnen");
}

TEST(Translation, FindsPackageFilesThroughTheEnvironment) {
  TrxFolder folder;
  folder.write("P.trx", kOpenFile);
  const std::string& dir = folder.path();
  const std::string notSet = "Environment variable ZEL_TOP_DATA_DIR is not set";
  struct Case {
    std::optional<std::string> top, qen;
    std::string package, error;
    const char* method;
  };
  const Case cases[] = {
      {dir, std::nullopt, "P", "", ""},
      {std::nullopt, dir, "P", "", ""},
      {dir, "/nowhere", "P", "", ""},
      {"", dir, dir.substr(1) + "/P", "", ""},
      {"", dir, "P", "Error loading dictionaries: cannot read file /P.trx",
       "readFile"},
      {std::nullopt, std::nullopt, "P", notSet, "loadPackageDictionary"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.top.value_or("(unset)") + " | " + c.qen.value_or("(unset)") +
                 " | " + c.package);
    ScopedEnv top("ZEL_TOP_DATA_DIR", c.top);
    ScopedEnv qen("QEN_DATA_DIR", c.qen);
    Translation dictionary("de_DE");
    if (c.error.empty()) {
      dictionary.loadPackageDictionary(c.package);
      EXPECT_TRUE(dictionary.isTranslatable("Open"));
    } else {
      EXPECT_ZEL_THROW(dictionary.loadPackageDictionary(c.package),
                       data::notFound, "Translation", c.method, c.error, 4);
      EXPECT_FALSE(dictionary.isTranslatable("Open"));
    }
  }
}

TEST(Translation, KeepsTheFirstFilesTranslation) {
  TrxFolder folder;
  folder.write("first.trx", kOpenFile);
  folder.write(
      "second.trx",
      "<source>Open<\\source>\n<translation lang=\"de_DE\">Auf<\\translation>\n"
      "<source>Close<\\source>\n<translation lang=\"de\">Zu<\\translation>\n");
  ScopedEnv top("ZEL_TOP_DATA_DIR", folder.path());
  Translation dictionary("de_DE");
  for (const char* package : {"first", "second", "first"}) {
    dictionary.loadPackageDictionary(package);
  }
  EXPECT_EQ(dictionary.translate("Open", nullptr), "Öffnen");
  EXPECT_EQ(dictionary.translate("Close", nullptr), "Zu");
}

// The digits of the tokens %1 ... %9 a text holds, sorted.
std::string tokensOf(const std::string& text) {
  std::string digits;
  for (std::size_t at = text.find('%'); at != std::string::npos;
       at = text.find('%', at + 1)) {
    if (at + 1 < text.size() && text[at + 1] >= '1' && text[at + 1] <= '9') {
      digits += text[at + 1];
    }
  }
  std::sort(digits.begin(), digits.end());
  return digits;
}

TEST(ShippedDictionaries, TranslateEverySourceTextIntoEachLanguage) {
  const char* root = std::getenv("ZEL_SOURCE_DIR");
  ASSERT_NE(root, nullptr) << "run through CTest, which names the project root";
  ScopedEnv top("ZEL_TOP_DATA_DIR", std::string(root) + "/data");
  for (const char* package : {"ZELError", "ZELDemo"}) {
    std::vector<std::string> sources;
    std::ifstream file(std::string(root) + "/data/" + package + ".trx");
    for (std::string line; std::getline(file, line);) {
      line = StringUtilities::removeWhitespace(line);
      if (line.rfind("<source>", 0) == 0) {
        sources.push_back(trx::extractText(line, 8, 9));
      }
    }
    EXPECT_GE(sources.size(), 5u) << package;
    for (const char* language : {"en_GB", "de_DE", "fr_FR"}) {
      Translation dictionary(language);
      dictionary.loadPackageDictionary(package);
      for (const std::string& source : sources) {
        SCOPED_TRACE(std::string(package) + " " + language + ": " + source);
        bool found = false;
        const std::string text = dictionary.translate(source, &found);
        EXPECT_TRUE(found && !text.empty());
        EXPECT_EQ(tokensOf(text), tokensOf(source));
        if (std::string(language) != "en_GB") {
          EXPECT_NE(text, source);
        }
      }
    }
  }
}

}  // namespace
}  // namespace zel
