// The process-wide translation manager and the user messages it translates.
// The manager's state only grows (packages stay required, disabling is final),
// so every scenario runs in a fresh child process: this program's own process
// never touches the manager, and no scenario sees what another left behind.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <zel/DataError.h>
#include <zel/TranslationManager.h>
#include <zel/TranslationObserver.h>
#include <zel/UserMsg.h>

#include <cstdlib>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "TrxFiles.h"

namespace zel {
namespace {

using test::ScopedEnv;
using test::TrxFolder;
namespace manager = TranslationManager;

// Runs the scenario in a child process. Its failures are written to standard
// error, which the parent shows, and make the child exit with 1.
void inFreshProcess(const std::function<void()>& scenario) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto run = [&scenario] {
    testing::TestPartResultArray results;
    {
      testing::ScopedFakeTestPartResultReporter intercept(
          testing::ScopedFakeTestPartResultReporter::
              INTERCEPT_ONLY_CURRENT_THREAD,
          &results);
      scenario();
    }
    int failures = 0;
    for (int i = 0; i < results.size(); ++i) {
      const testing::TestPartResult& result = results.GetTestPartResult(i);
      if (!result.failed()) {
        continue;
      }
      ++failures;
      std::cerr << (result.file_name() ? result.file_name() : "?") << ":"
                << result.line_number() << ": " << result.message() << "\n";
    }
    return failures == 0 ? 0 : 1;
  };
  EXPECT_EXIT(std::exit(run()), testing::ExitedWithCode(0), "");
}

std::string entry(const std::string& source, const std::string& language,
                  const std::string& text) {
  return "<source>" + source + "<\\source>\n<translation lang=\"" + language +
         "\">" + text + "<\\translation>\n";
}

// A data directory named by ZEL_TOP_DATA_DIR, holding the package "app".
struct DataDir {
  DataDir() {
    package(
        "app",
        entry("Open", "de_DE", "Öffnen") + entry("Open", "fr", "Ouvrir") +
            entry("Open", "en_GB", "Open GB") + entry("Open", "", "Leer") +
            entry("File %1 has %2 lines", "de_DE", "%2 Zeilen in Datei %1"));
  }
  void package(const std::string& name, const std::string& content) const {
    folder.write(name + ".trx", content);
  }
  TrxFolder folder;
  ScopedEnv top{"ZEL_TOP_DATA_DIR", folder.path()};
  ScopedEnv showMissing{"QEN_SHOW_MISSING_TRANSLATIONS", std::nullopt};
};

class RecordingObserver : public TranslationObserver {
 public:
  RecordingObserver(std::string name, std::vector<std::string>& log)
      : m_name(std::move(name)), m_log(log) {}
  // Records what "Open" reads as at the moment of the call.
  void languageChanged() override {
    m_log.push_back(m_name + ":" + manager::translate("Open", nullptr));
  }

 private:
  std::string m_name;
  std::vector<std::string>& m_log;
};

TEST(TranslationManager, InitializeTakesTheLanguageFromTheEnvironment) {
  inFreshProcess([] {
    DataDir data;
    manager::requirePackageDictionary("app");  // recorded only: no language yet
    struct Case {
      std::optional<std::string> language, locale;
      const char* chosen;
      const char* open;
    };
    const Case cases[] = {{"fr", "de_DE", "fr", "Ouvrir"},
                          {std::nullopt, "de_DE", "de_DE", "Öffnen"},
                          {std::nullopt, std::nullopt, "en_GB", "Open GB"},
                          {"", "de_DE", "", "Leer"},
                          {std::nullopt, "", "", "Leer"}};
    for (const Case& c : cases) {
      SCOPED_TRACE(c.chosen);
      ScopedEnv language("QEN_LANGUAGE", c.language);
      ScopedEnv locale("QEN_OKA_LOCALE", c.locale);
      EXPECT_EQ(manager::initialize(), c.chosen);
      EXPECT_EQ(manager::translate("Open", nullptr), c.open);
    }
  });
}

TEST(TranslationManager, ReadsPackagesInNameOrderAndNewOnesAtOnce) {
  inFreshProcess([] {
    DataDir data;
    data.package(
        "b", entry("Same", "de_DE", "from b") + entry("OnlyB", "de_DE", "b"));
    data.package("a", entry("Same", "de_DE", "from a"));
    data.package(
        "c", entry("Same", "de_DE", "from c") + entry("OnlyC", "de_DE", "c"));
    data.package("0", entry("Same", "de_DE", "from 0"));
    manager::requirePackageDictionary("b");
    manager::requirePackageDictionary("a");
    manager::setLanguage("de_DE");
    EXPECT_EQ(manager::translate("Same", nullptr) +
                  manager::translate("OnlyB", nullptr),
              "from ab");
    manager::requirePackageDictionary("c");
    manager::requirePackageDictionary("0");
    EXPECT_EQ(manager::translate("Same", nullptr) +
                  manager::translate("OnlyC", nullptr),
              "from ac");
    manager::setLanguage("de_DE");
    EXPECT_EQ(manager::translate("Same", nullptr), "from 0");
  });
}

TEST(TranslationManager,
     FailingPackageKeepsThePreviousDictionaryAndStaysRequired) {
  inFreshProcess([] {
    DataDir data;
    std::vector<std::string> told;
    RecordingObserver observer("o", told);
    manager::requirePackageDictionary("app");
    manager::setLanguage("de_DE");
    manager::attach(&observer);
    const std::string cannotRead =
        "Error loading dictionaries: cannot read file " + data.folder.path() +
        "/missing.trx";
    EXPECT_ZEL_THROW(manager::requirePackageDictionary("missing"),
                     data::notFound, "Translation", "readFile", cannotRead, 4);
    // Already required: nothing happens, although it cannot be read.
    manager::requirePackageDictionary("missing");
    EXPECT_ZEL_THROW(manager::setLanguage("fr"), data::notFound, "Translation",
                     "readFile", cannotRead, 4);
    {
      ScopedEnv language("QEN_LANGUAGE", "fr");
      EXPECT_ZEL_THROW(manager::initialize(), data::notFound, "Translation",
                       "readFile", cannotRead, 4);
      ScopedEnv top("ZEL_TOP_DATA_DIR", std::nullopt);
      ScopedEnv qen("QEN_DATA_DIR", std::nullopt);
      EXPECT_ZEL_THROW(manager::setLanguage("fr"), data::notFound,
                       "Translation", "loadPackageDictionary",
                       "Environment variable ZEL_TOP_DATA_DIR is not set", 4);
    }
    EXPECT_EQ(manager::translate("Open", nullptr), "Öffnen");
    EXPECT_TRUE(told.empty());
    manager::detach(&observer);
  });
}

TEST(TranslationManager, TellsObserversAfterTheNewDictionaryIsCurrent) {
  inFreshProcess([] {
    DataDir data;
    std::vector<std::string> told;
    RecordingObserver first("first", told), second("second", told),
        never("never", told);
    manager::requirePackageDictionary("app");
    manager::attach(&first);
    manager::attach(&second);
    manager::attach(&first);
    manager::attach(nullptr);
    manager::setLanguage("de_DE");
    manager::detach(&first);
    manager::detach(&never);
    manager::setLanguage("fr");
    data.package("late", entry("Late", "fr", "Tard"));
    manager::requirePackageDictionary("late");
    manager::setLanguage("fr");
    EXPECT_EQ(told, (std::vector<std::string>{"first:Öffnen", "second:Öffnen",
                                              "first:Öffnen", "second:Ouvrir",
                                              "second:Ouvrir"}));
    manager::detach(&second);
    manager::detach(nullptr);
  });
}

TEST(TranslationManager, PolicyBelongsToTheCurrentDictionary) {
  inFreshProcess([] {
    DataDir data;
    manager::requirePackageDictionary("app");
    manager::setLanguage("de_DE");
    bool found = true;
    EXPECT_EQ(manager::translate("Missing", &found), "Missing");
    EXPECT_FALSE(found);
    EXPECT_TRUE(manager::translatable("Open"));
    EXPECT_FALSE(manager::translatable("Missing") || manager::translatable(""));
    manager::setTranslationPolicy(ShowMissing);
    EXPECT_EQ(manager::translate("Missing", nullptr), "[Missing]");
    manager::setLanguage("de_DE");
    EXPECT_EQ(manager::translate("Missing", nullptr), "Missing");
    ScopedEnv show("QEN_SHOW_MISSING_TRANSLATIONS", "");
    manager::setLanguage("de_DE");
    EXPECT_EQ(manager::translate("Missing", nullptr), "[Missing]");
  });
}

TEST(TranslationManager, DisablingIsFinal) {
  inFreshProcess([] {
    DataDir data;
    std::vector<std::string> told;
    RecordingObserver observer("o", told);
    manager::requirePackageDictionary("app");
    manager::setLanguage("de_DE");
    manager::attach(&observer);
    manager::disableTranslations();
    bool found = true;
    EXPECT_EQ(manager::translate("Open", &found), "Open");
    EXPECT_FALSE(found || manager::translatable("Open"));
    manager::setLanguage("fr");
    ScopedEnv language("QEN_LANGUAGE", "fr");
    EXPECT_EQ(manager::initialize(), "fr");
    EXPECT_TRUE(told.empty());
    // Neither of these looks at the switch.
    manager::setTranslationPolicy(ShowMissing);
    EXPECT_THROW(manager::requirePackageDictionary("missing"), data::notFound);
    manager::detach(&observer);
  });
  inFreshProcess([] {
    manager::disableTranslations();
    EXPECT_EQ(manager::translate("No dictionary", nullptr), "No dictionary");
    EXPECT_FALSE(manager::translatable("No dictionary"));
    EXPECT_EQ(UserMsg("No dictionary", nullptr).str(), "No dictionary");
  });
}

TEST(TranslationManager, MissingDictionaryFailsTheAssertion) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string failed =
      "Assertion failed: s_current, file Error/src/TranslationManager, line ";
  EXPECT_DEATH(manager::translate("Open", nullptr), failed + "193");
  EXPECT_DEATH(UserMsg("Open", nullptr), failed + "193");
  EXPECT_DEATH(manager::translatable(""), failed + "167");
  EXPECT_DEATH(manager::setTranslationPolicy(ShowMissing), failed + "230");
  EXPECT_DEATH(
      {
        manager::disableTranslations();
        manager::setTranslationPolicy(HideMissing);
      },
      failed + "230");
  inFreshProcess([] {
    bool found = true;
    EXPECT_EQ(manager::translate("", &found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(UserMsg("", &found).str() + UserMsg("", nullptr).source(), "");
  });
}

TEST(UserMsg, TranslatesAtConstructionAndKeepsTheSource) {
  inFreshProcess([] {
    DataDir data;
    manager::requirePackageDictionary("app");
    manager::setLanguage("de_DE");
    bool found = false;
    UserMsg message("File %1 has %2 lines", &found);
    EXPECT_TRUE(found);
    const UserMsg unfilled = message;
    message.arg("mesh.dat").arg(3);
    EXPECT_EQ(std::string(message), "3 Zeilen in Datei mesh.dat");
    EXPECT_EQ(message.source(), "File mesh.dat has 3 lines");
    EXPECT_EQ(UserMsg(unfilled).arg("x").str(), "%2 Zeilen in Datei x");
    EXPECT_EQ(unfilled.source(), "File %1 has %2 lines");
    const UserMsg missing("Missing", &found);
    EXPECT_FALSE(found);
    EXPECT_EQ(missing.str() + UserMsg::getDelimiterToken() + missing.source(),
              "Missing<untranslated>Missing");
  });
  EXPECT_EQ(UserMsg::getDelimiterToken(), "<untranslated>");
}

}  // namespace
}  // namespace zel
