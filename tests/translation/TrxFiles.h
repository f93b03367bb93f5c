// Real dictionary files for the translation tests: a temporary folder that
// holds .trx files while it lives, and a one-call "read this text as a file".
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <zel/Translation.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace zel::test {

class TrxFolder {
 public:
  TrxFolder() : m_path(testing::TempDir() + "zel_trx_XXXXXX") {
    if (mkdtemp(m_path.data()) == nullptr)
      ADD_FAILURE() << "no folder " << m_path;
  }
  ~TrxFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  TrxFolder(const TrxFolder&) = delete;
  TrxFolder& operator=(const TrxFolder&) = delete;

  // Writes `content` byte for byte to <folder>/<name> and returns that path.
  std::string write(const std::string& name, const std::string& content) const {
    const std::string file = m_path + "/" + name;
    std::ofstream(file, std::ios::binary) << content;
    return file;
  }
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

// A dictionary of `language` that has read `content` as its one file.
inline Translation readAsFile(const std::string& language,
                              const std::string& content) {
  TrxFolder folder;
  Translation dictionary(language);
  dictionary.readFile(folder.write("read.trx", content));
  return dictionary;
}

}  // namespace zel::test
