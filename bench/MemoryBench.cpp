// zel-bench-memory: the peak heap that the library's two large stores need,
// against the bytes of the texts they hold. Every allocation of the program
// goes through the counting allocation functions below; a block is counted
// with the size the allocator gives it (malloc_usable_size) and the 8 bytes
// that it keeps in front of it.
//
//   dictionary: a file of 10,000 texts in 20 languages read for one language;
//               texts = the bytes of each source text and its translation.
//   reports:    100,000 distinct reports stored by the application reporter;
//               texts = the bytes of each report's class, method and message.
#include <malloc.h>
#include <zel/ApplicationErrorReporterImpl.h>
#include <zel/ErrorLogFile.h>
#include <zel/ErrorMsg.h>
#include <zel/Translation.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "BenchData.h"

namespace {

constexpr std::size_t kBlockHeader = 8;

std::size_t g_current = 0;
std::size_t g_peak = 0;

void* allocate(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  g_current += malloc_usable_size(block) + kBlockHeader;
  if (g_current > g_peak) g_peak = g_current;
  return block;
}

void release(void* block) {
  if (block == nullptr) return;
  g_current -= malloc_usable_size(block) + kBlockHeader;
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { release(block); }
void operator delete[](void* block) noexcept { release(block); }
void operator delete(void* block, std::size_t) noexcept { release(block); }
void operator delete[](void* block, std::size_t) noexcept { release(block); }

namespace {

// Peak and lasting heap of `build`, above what was in use before it.
struct Use {
  std::size_t peak;
  std::size_t kept;
};

template <typename Build>
Use measure(Build build) {
  const std::size_t before = g_current;
  g_peak = g_current;
  build();
  return Use{g_peak - before, g_current - before};
}

void print(const char* what, std::size_t textBytes, Use use) {
  std::printf("%-11s texts %9zu B  peak %9zu B (%.2fx)  kept %9zu B (%.2fx)\n", what,
              textBytes, use.peak, static_cast<double>(use.peak) / static_cast<double>(textBytes),
              use.kept, static_cast<double>(use.kept) / static_cast<double>(textBytes));
}

void dictionary() {
  const std::vector<std::string> languages = {"cs", "da", "de", "el", "es", "fi", "fr",
                                              "hu", "it", "ja", "ko", "nb", "nl", "pl",
                                              "pt", "ro", "ru", "sv", "tr", "zh"};
  const std::vector<std::string> texts = zel::bench::messageTexts(10000, 5);
  const std::string file = zel::bench::writeTrxFile("memory.trx", texts, languages);
  std::size_t textBytes = 0;
  for (const std::string& text : texts) {
    textBytes += text.size() + zel::bench::translationOf(text, "de").size();
  }
  Use use{};
  {
    std::unique_ptr<zel::Translation> kept;
    use = measure([&] {
      kept = std::make_unique<zel::Translation>("de");
      kept->readFile(file);
    });
  }
  print("dictionary", textBytes, use);
}

void reports() {
  const std::vector<std::string> texts = zel::bench::messageTexts(100000, 6);
  const std::string className = "Solver";
  const std::string methodName = "solve";
  std::size_t textBytes = 0;
  for (const std::string& text : texts) {
    textBytes += className.size() + methodName.size() + text.size();
  }
  const zel::ErrorLogFile::Sink previous = zel::ErrorLogFile::setSink([](const std::string&) {});
  Use use{};
  {
    std::unique_ptr<zel::ApplicationErrorReporterImpl> kept;
    use = measure([&] {
      kept = std::make_unique<zel::ApplicationErrorReporterImpl>();
      for (const std::string& text : texts) {
        kept->reportError(zel::ErrorMsg(className, methodName, text, zel::typeWarning));
      }
    });
  }
  zel::ErrorLogFile::setSink(previous);
  print("reports", textBytes, use);
}

}  // namespace

int main() {
  dictionary();
  reports();
  return 0;
}
