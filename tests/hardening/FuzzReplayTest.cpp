// Every input saved under fuzz/corpus/<fuzzer>/ (the seeds) and
// fuzz/regressions/<fuzzer>/ (inputs a fuzzer once found failing) passes its
// fuzzer's check, so an ordinary build repeats them at each test run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzChecks.h"

namespace zel {
namespace {

using Check = void (*)(const std::uint8_t*, std::size_t);

void replay(const std::string& fuzzer, Check check) {
  const char* root = std::getenv("ZEL_SOURCE_DIR");
  ASSERT_NE(root, nullptr) << "ZEL_SOURCE_DIR names the source tree";
  int inputs = 0;
  for (const char* kind : {"corpus", "regressions"}) {
    const std::filesystem::path folder =
        std::filesystem::path(root) / "fuzz" / kind / fuzzer;
    if (!std::filesystem::exists(folder)) continue;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
      SCOPED_TRACE(file.path().string());
      std::ifstream in(file.path(), std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(in),
                              std::istreambuf_iterator<char>()};
      EXPECT_NO_THROW(check(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                            bytes.size()));
      ++inputs;
    }
  }
  EXPECT_GT(inputs, 0) << "no saved input for " << fuzzer;
}

TEST(FuzzReplay, DictionaryReaderMatchesItsModelOnEverySavedInput) {
  replay("trx_reader", fuzz::checkTrxReader);
}

TEST(FuzzReplay, MessageTextsFillAsModelledOnEverySavedInput) {
  replay("message_text", fuzz::checkMessageText);
}

TEST(FuzzReplay, StorageAndQueueFollowTheirModelOnEverySavedInput) {
  replay("message_queue", fuzz::checkMessageQueue);
}

TEST(FuzzReplay, ProgressHandlerFollowsItsModelOnEverySavedInput) {
  replay("progress_handler", fuzz::checkProgressHandler);
}

}  // namespace
}  // namespace zel
