// Generated inputs shared by the benchmarks: message texts, ".trx"
// dictionaries and a scratch directory that is removed when the program ends.
#pragma once

#include <string>
#include <vector>

namespace zel {
namespace bench {

// A scratch directory of this run, created on first use.
const std::string& scratchDir();

// `count` distinct message texts, made of words in a fixed pseudo-random order
// (the same texts in every run). Texts made with another `seed` never collide
// with these.
std::vector<std::string> messageTexts(int count, unsigned seed);

// The translation of `text` into `language` that the generated files carry.
std::string translationOf(const std::string& text, const std::string& language);

// Writes a dictionary file holding every text with one translation line per
// language and returns its path.
std::string writeTrxFile(const std::string& name,
                         const std::vector<std::string>& texts,
                         const std::vector<std::string>& languages);

}  // namespace bench
}  // namespace zel
