// Lookup: Translation::translate in a dictionary of 10,000 texts, for texts it
// holds and texts it lacks, against GNU gettext's dgettext on the same texts
// compiled with msgfmt. A second dictionary holds texts that differ only after
// a common 19-byte beginning ("Source text number N of the dictionary"), as
// texts numbered by a program do.
#include <benchmark/benchmark.h>
#include <zel/Translation.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchData.h"

#ifdef ZEL_BENCH_MSGFMT
#include <libintl.h>

#include <clocale>
#endif

namespace {

using zel::bench::messageTexts;

constexpr int kDictionarySize = 10000;
const char kLanguage[] = "de";

const std::vector<std::string>& hits() {
  static const std::vector<std::string> texts =
      messageTexts(kDictionarySize, 1);
  return texts;
}

const std::vector<std::string>& misses() {
  static const std::vector<std::string> texts =
      messageTexts(kDictionarySize, 2);
  return texts;
}

const std::vector<std::string>& prefixHits() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> numbered;
    for (int i = 0; i < kDictionarySize; ++i) {
      numbered.push_back("Source text number " + std::to_string(i) +
                         " of the dictionary");
    }
    return numbered;
  }();
  return texts;
}

zel::Translation readDictionary(const std::string& name,
                                const std::vector<std::string>& texts) {
  zel::Translation read(kLanguage);
  read.readFile(zel::bench::writeTrxFile(name + ".trx", texts, {kLanguage}));
  return read;
}

const zel::Translation& dictionary() {
  static const zel::Translation translation = readDictionary("lookup", hits());
  return translation;
}

const zel::Translation& prefixDictionary() {
  static const zel::Translation translation =
      readDictionary("prefix", prefixHits());
  return translation;
}

// Translates every text in turn; the first text must come out as `expected`.
template <typename Translate>
void translateAll(benchmark::State& state,
                  const std::vector<std::string>& texts,
                  const std::string& expected, Translate translate) {
  const std::string first = translate(texts.front());
  if (first != expected) {
    state.SkipWithError(("not translated as expected: " + first).c_str());
    return;
  }
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(translate(texts[i++ % texts.size()]));
  }
}

std::string translateZel(const std::string& text) {
  return dictionary().translate(text, nullptr);
}

void Lookup_TranslateHit(benchmark::State& state) {
  translateAll(state, hits(),
               zel::bench::translationOf(hits().front(), kLanguage),
               translateZel);
}
BENCHMARK(Lookup_TranslateHit);

void Lookup_TranslateMiss(benchmark::State& state) {
  translateAll(state, misses(), misses().front(), translateZel);
}
BENCHMARK(Lookup_TranslateMiss);

void Lookup_TranslatePrefixHit(benchmark::State& state) {
  translateAll(state, prefixHits(),
               zel::bench::translationOf(prefixHits().front(), kLanguage),
               [](const std::string& text) {
                 return prefixDictionary().translate(text, nullptr);
               });
}
BENCHMARK(Lookup_TranslatePrefixHit);

#ifdef ZEL_BENCH_MSGFMT
// Compiles the texts into "<scratch>/locale/de/LC_MESSAGES/<domain>.mo" and
// makes it the catalogue of the domain. gettext translates only under a locale
// other than "C", and takes the language from LANGUAGE.
bool bindGettextDomain(const std::string& domain,
                       const std::vector<std::string>& texts) {
  namespace fs = std::filesystem;
  const fs::path localeDir = fs::path(zel::bench::scratchDir()) / "locale";
  const fs::path messagesDir = localeDir / kLanguage / "LC_MESSAGES";
  fs::create_directories(messagesDir);
  const fs::path po = fs::path(zel::bench::scratchDir()) / (domain + ".po");
  {
    std::ofstream file(po);
    file << "msgid \"\"\nmsgstr \"Content-Type: text/plain; "
            "charset=UTF-8\\n\"\n";
    for (const std::string& text : texts) {
      file << "\nmsgid \"" << text << "\"\nmsgstr \""
           << zel::bench::translationOf(text, kLanguage) << "\"\n";
    }
  }
  const std::string command = std::string(ZEL_BENCH_MSGFMT) + " -o " +
                              (messagesDir / (domain + ".mo")).string() + " " +
                              po.string();
  if (std::system(command.c_str()) != 0) return false;
  setenv("LANGUAGE", kLanguage, 1);
  if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr &&
      std::setlocale(LC_ALL, "C.utf8") == nullptr) {
    return false;
  }
  return bindtextdomain(domain.c_str(), localeDir.c_str()) != nullptr;
}

void gettextAll(benchmark::State& state, const std::vector<std::string>& texts,
                const std::string& expected) {
  static const bool bound = bindGettextDomain("zelbench", hits());
  if (!bound) {
    state.SkipWithError("cannot compile or bind the gettext catalogue");
    return;
  }
  translateAll(state, texts, expected, [](const std::string& text) {
    return dgettext("zelbench", text.c_str());
  });
}

void Lookup_DgettextHit(benchmark::State& state) {
  gettextAll(state, hits(),
             zel::bench::translationOf(hits().front(), kLanguage));
}
BENCHMARK(Lookup_DgettextHit);

void Lookup_DgettextMiss(benchmark::State& state) {
  gettextAll(state, misses(), misses().front());
}
BENCHMARK(Lookup_DgettextMiss);

void Lookup_DgettextPrefixHit(benchmark::State& state) {
  static const bool bound = bindGettextDomain("zelprefix", prefixHits());
  if (!bound) {
    state.SkipWithError("cannot compile or bind the gettext catalogue");
    return;
  }
  translateAll(state, prefixHits(),
               zel::bench::translationOf(prefixHits().front(), kLanguage),
               [](const std::string& text) {
                 return dgettext("zelprefix", text.c_str());
               });
}
BENCHMARK(Lookup_DgettextPrefixHit);
#endif

}  // namespace
