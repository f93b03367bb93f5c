// The heading of internal errors goes through the process-wide translation
// manager, whose state only grows (and whose disabling is final), so each
// scenario runs in a fresh child process.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>
#include <zel/ApplicationErrorReporterImpl.h>
#include <zel/ErrorMsg.h>
#include <zel/OutputMessageQueue.h>
#include <zel/TranslationManager.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace zel {
namespace {

using test::ScopedEnv;

// Runs the scenario in a new process; it passes when every text it shows is
// the expected one (mismatches are written to standard error).
void expectInFreshProcess(const std::function<bool()>& scenario) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(scenario() ? 0 : 1), testing::ExitedWithCode(0), "");
}

bool showsInOrder(OutputMessageQueue& queue,
                  const std::vector<std::string>& expected) {
  std::vector<std::string> shown;
  for (; !queue.empty(); queue.pop()) shown.push_back(queue.getText());
  if (shown == expected) return true;
  for (const std::string& text : shown)
    std::cerr << "shown: [" << text << "]\n";
  return false;
}

TEST(InternalErrorHeading, IsTranslatedThroughTheCurrentDictionary) {
  expectInFreshProcess([] {
    std::string folder = testing::TempDir() + "zel_heading_XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) return false;
    const std::string file = folder + "/reporting.trx";
    std::ofstream(file)
        << "<source>Internal error detected:<\\source>\n"
           "<translation lang=\"de_DE\">Interner Fehler:<\\translation>\n";
    ScopedEnv dataDir("ZEL_TOP_DATA_DIR", folder);
    ScopedEnv showMissing("QEN_SHOW_MISSING_TRANSLATIONS", std::nullopt);
    TranslationManager::requirePackageDictionary("reporting");
    TranslationManager::setLanguage("de_DE");

    OutputMessageQueue queue;
    queue.pushUnique(ErrorMsg("Index", "at", "Bad index<untranslated>index 7",
                              typeInternalError),
                     false);
    queue.pushUnique(
        ErrorMsg("Index", "at", "<untranslated>log only", typeInternalError),
        true);
    TranslationManager::setLanguage("fr_FR");  // no French line for the heading
    queue.pushUnique(ErrorMsg("Index", "at", "Bad index", typeInternalError),
                     false);
    std::remove(file.c_str());
    ::rmdir(folder.c_str());
    return showsInOrder(
        queue, {"Interner Fehler:\nBad index", "Index::at::Interner Fehler:\n",
                "Internal error detected:\nBad index"});
  });
}

TEST(InternalErrorHeading,
     StaysInTheSourceLanguageWhenTranslationsAreDisabled) {
  expectInFreshProcess([] {
    TranslationManager::disableTranslations();
    test::LogCapture log;
    ApplicationErrorReporterImpl reporter;
    reporter.setVerboseMode(true);
    reporter.reportError(
        ErrorMsg("Index", "at", "Bad index", typeInternalError));
    reporter.reportError(ErrorMsg("Index", "at", "Bad index", typeSevere));
    OutputMessageQueue queue;
    reporter.takeMessageQueue(typeInternalError, queue);
    return reporter.hasMessages(typeSevere) &&
           showsInOrder(queue,
                        {"Index::at::Internal error detected:\nBad index"});
  });
}

}  // namespace
}  // namespace zel
