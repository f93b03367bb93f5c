// Loading: Translation::readFile on a 10 MB dictionary of 20 languages, against
// a plain loop that only reads, trims and counts the same file's lines.
#include <benchmark/benchmark.h>
#include <zel/Translation.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "BenchData.h"

namespace {

constexpr std::uintmax_t kFileSize = 10 * 1000 * 1000;

// The file, written on first use.
const std::string& dictionaryFile() {
  static const std::string path = [] {
    const std::vector<std::string> languages = {
        "cs", "da", "de", "el", "es", "fi", "fr", "hu", "it", "ja",
        "ko", "nb", "nl", "pl", "pt", "ro", "ru", "sv", "tr", "zh"};
    // One source text with its 20 translations takes about 1.3 kB.
    const int texts = static_cast<int>(kFileSize / 1300);
    return zel::bench::writeTrxFile(
        "loading.trx", zel::bench::messageTexts(texts, 3), languages);
  }();
  return path;
}

void setBytes(benchmark::State& state) {
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations()) *
      static_cast<std::int64_t>(std::filesystem::file_size(dictionaryFile())));
}

void Loading_ReadFile(benchmark::State& state) {
  for (auto _ : state) {
    auto translation = std::make_unique<zel::Translation>("de");
    translation->readFile(dictionaryFile());
    state.PauseTiming();  // loading is timed, not the dictionary's end
    translation.reset();
    state.ResumeTiming();
  }
  setBytes(state);
}
BENCHMARK(Loading_ReadFile)->Unit(benchmark::kMillisecond);

bool isWhitespace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' ||
         c == '\f';
}

void Loading_GetlineLoop(benchmark::State& state) {
  for (auto _ : state) {
    std::ifstream file(dictionaryFile());
    std::string line;
    std::size_t lines = 0;
    while (std::getline(file, line)) {
      std::string_view trimmed(line);
      while (!trimmed.empty() && isWhitespace(trimmed.front()))
        trimmed.remove_prefix(1);
      while (!trimmed.empty() && isWhitespace(trimmed.back()))
        trimmed.remove_suffix(1);
      lines += trimmed.empty() ? 0 : 1;
    }
    benchmark::DoNotOptimize(lines);
  }
  setBytes(state);
}
BENCHMARK(Loading_GetlineLoop)->Unit(benchmark::kMillisecond);

}  // namespace
