// A tiny application that knows the library only through its installed files.
// It is built with ZEL_EXPECTED_VERSION and ZEL_EXPECTED_DATA_DIR, taken from
// the CMake package or from pkg-config.
#include <zel/ZELError.h>

#include <cstdlib>
#include <iostream>
#include <string>

#ifdef ZEL_CONSUMER_CONSOLE  // the CMake package's ZELError::Console
#include <zel/ConsoleProgress.h>

#include <sstream>
#endif

namespace {

int failures = 0;

void expect(bool ok, const std::string& what) {
  if (!ok) {
    std::cerr << "FAILED: " << what << '\n';
    ++failures;
  }
}

}  // namespace

int main() {
  // The generated header and the package agree on the version.
  expect(std::string(ZEL_ERROR_VERSION) == ZEL_EXPECTED_VERSION,
         std::string("ZEL_ERROR_VERSION ") + ZEL_ERROR_VERSION + " is the package's " +
             ZEL_EXPECTED_VERSION);
  expect(std::to_string(ZEL_ERROR_VERSION_MAJOR) + "." + std::to_string(ZEL_ERROR_VERSION_MINOR) +
                 "." + std::to_string(ZEL_ERROR_VERSION_PATCH) ==
             ZEL_EXPECTED_VERSION,
         "ZEL_ERROR_VERSION_MAJOR/MINOR/PATCH make up the package's version");

  std::string logged;
  zel::ErrorLogFile::setSink([&](const std::string& entry) { logged = entry; });
  zel::ErrorMsg("Consumer", "main", zel::SystemMsg("%1 of %2 done").arg(3).arg(4.5f),
                zel::typeSevere)
      .logError();
  try {
    throw zel::data::notFound("Consumer", "open", "missing", zel::typeError);
  } catch (const zel::Error& e) {
    logged += " | " + e.getMessage();
  }
  expect(logged == "Severe: Consumer::main - 3 of 4.5 done | missing", "log line: " + logged);

  // The installed dictionary translates the library's own heading.
  ::setenv("ZEL_TOP_DATA_DIR", ZEL_EXPECTED_DATA_DIR, 1);
  ::setenv("QEN_LANGUAGE", "de_DE", 1);
  zel::TranslationManager::initialize();
  zel::TranslationManager::requirePackageDictionary("ZELError");
  bool found = false;
  const std::string heading =
      zel::TranslationManager::translate("Internal error detected:", &found);
  expect(found && heading != "Internal error detected:",
         "the installed ZELError.trx translates the internal-error heading: " + heading);

  std::cout << logged << '\n' << heading << '\n';
#ifdef ZEL_CONSUMER_CONSOLE
  zel::ApplicationProgressReporterImpl reporter;
  std::ostringstream drawn;
  zel::ConsoleProgressOptions options;
  options.output = &drawn;
  options.terminal = false;
  {
    zel::ConsoleProgress display(reporter, options);
    reporter.setOperationName("Step");
    reporter.startProgress();
    reporter.reportProgress(1.0f);
  }
  expect(drawn.str() == "[100%] Step\n[100%] done in 0:00\n", "console display: " + drawn.str());
#endif
  return failures == 0 ? 0 : 1;
}
