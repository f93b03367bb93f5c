#include "BenchData.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace zel {
namespace bench {
namespace {

const char* const kWords[] = {
    "mesh",     "solver",   "element",   "node",      "pressure", "load",
    "boundary", "material", "step",      "iteration", "contact",  "value",
    "cannot",   "open",     "file",      "invalid",   "missing",  "the",
    "of",       "for",      "converge",  "limit",     "reached",  "model",
    "result",   "stress",   "strain",    "thermal",   "surface",  "volume",
    "export",   "import",   "unknown",   "unit",      "range",    "out",
    "selected", "analysis", "license",   "memory",    "too",      "small",
    "large",    "time",     "increment", "matrix",    "singular", "damping"};
constexpr unsigned kWordCount = sizeof(kWords) / sizeof(kWords[0]);

// Removes the scratch directory when the program ends.
struct ScratchDir {
  std::string path;
  ScratchDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "zel-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot create a scratch directory");
    }
    path = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

const std::string& scratchDir() {
  static const ScratchDir dir;
  return dir.path;
}

std::vector<std::string> messageTexts(int count, unsigned seed) {
  std::vector<std::string> texts;
  texts.reserve(static_cast<std::size_t>(count));
  unsigned state = seed * 2654435761u + 1;
  for (int i = 0; i < count; ++i) {
    std::string text;
    const unsigned words = 4 + i % 5;
    for (unsigned w = 0; w < words; ++w) {
      state = state * 1664525u + 1013904223u;
      text += kWords[(state >> 8) % kWordCount];
      text += w == 0
                  ? " " + std::to_string(seed) + "." + std::to_string(i) + " "
                  : " ";
    }
    text.back() = '.';
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
    texts.push_back(std::move(text));
  }
  return texts;
}

std::string translationOf(const std::string& text,
                          const std::string& language) {
  return language + ": " + text;
}

std::string writeTrxFile(const std::string& name,
                         const std::vector<std::string>& texts,
                         const std::vector<std::string>& languages) {
  const std::string path = scratchDir() + "/" + name;
  std::ofstream file(path);
  for (const std::string& text : texts) {
    file << "  <source>" << text << "<\\source>\n";
    for (const std::string& language : languages) {
      file << "    <translation lang=\"" << language << "\">"
           << translationOf(text, language) << "<\\translation>\n";
    }
  }
  if (!file.flush()) throw std::runtime_error("cannot write " + path);
  return path;
}

}  // namespace bench
}  // namespace zel
