// Input: a language code, a line feed, then the bytes of a ".trx" file. The
// file is read by Translation::readFile and, independently, by a model of the
// format; the dictionary must hold exactly the model's entries, also after the
// same file was read into it a second time (no entry is ever replaced).
#include <unistd.h>
#include <zel/StringUtilities.h>
#include <zel/Translation.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "FuzzChecks.h"

namespace zel::fuzz {
namespace {

// One file per process, so that parallel fuzzing jobs do not share it; in
// memory where the system offers a folder for that, since rewriting a file on
// disk thousands of times a second waits for the disk.
class ScratchFile {
 public:
  ScratchFile()
      : m_path((folder() / ("zel-fuzz-" + std::to_string(::getpid()) + ".trx"))
                   .string()) {}
  ~ScratchFile() { std::remove(m_path.c_str()); }
  const std::string& write(const std::string& content) const {
    std::FILE* file = std::fopen(m_path.c_str(), "wb");
    ZEL_FUZZ_REQUIRE(file != nullptr, "cannot write " + m_path);
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
    return m_path;
  }

 private:
  static std::filesystem::path folder() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error)
               ? "/dev/shm"
               : std::filesystem::temp_directory_path();
  }
  std::string m_path;
};

bool startsWith(const std::string& line, const std::string& prefix) {
  return line.compare(0, prefix.size(), prefix) == 0;
}

// A line's text: after `start`, less `closing` characters at the end when
// there are that many, then escapes, then entities.
std::string textOf(const std::string& line, std::size_t start,
                   std::size_t closing) {
  std::string raw = line.substr(start);
  if (raw.size() >= closing) raw.resize(raw.size() - closing);
  std::string text;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c == '\\') {
      if (++i == raw.size()) break;
      c = raw[i] == 'n' ? '\n' : raw[i] == 't' ? '\t' : raw[i];
    }
    text += c;
  }
  static const char* const kEntities[][2] = {{"&amp;", "&"},
                                             {"&lt;", "<"},
                                             {"&gt;", ">"},
                                             {"&quot;", "\""},
                                             {"&apos;", "'"}};
  for (const auto& entity : kEntities)
    text = replaceAll(text, entity[0], entity[1]);
  return text;
}

}  // namespace

void checkTrxReader(const std::uint8_t* data, std::size_t size) {
  static const ScratchFile scratch;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t eol = input.find('\n');
  const std::string language = input.substr(0, eol);
  const std::string content =
      eol == std::string::npos ? "" : input.substr(eol + 1);
  const std::string& path = scratch.write(content);

  // The model: every key the reader can add is the empty text or a source text.
  const std::size_t separator = language.find_first_of("-_");
  const std::string iso =
      separator == std::string::npos ? "" : language.substr(0, separator);
  const std::string tag = "<translation lang=\"" + language + "\">";
  const std::string fallback = "<translation lang=\"" + iso;
  std::map<std::string, std::string> entries;
  std::set<std::string> keys{""};
  std::string source;
  std::istringstream lines(content);
  for (std::string line; std::getline(lines, line);) {
    line = StringUtilities::removeWhitespace(line);
    if (startsWith(line, "<source>")) {
      keys.insert(source = textOf(line, 8, 9));
    } else if (startsWith(line, tag)) {
      entries.emplace(source, textOf(line, tag.size(), 14));
    } else if (!iso.empty() && startsWith(line, fallback) &&
               entries.count(source) == 0) {
      const std::size_t end = line.find('>', fallback.size());
      if (end != std::string::npos)
        entries.emplace(source, textOf(line, end + 1, 14));
    }
  }

  // Read twice: the second reading must change nothing.
  Translation dictionary(language);
  for (int reading = 1; reading <= 2; ++reading) {
    dictionary.readFile(path);
    for (const std::string& key : keys) {
      const auto entry = entries.find(key);
      bool found = false;
      const std::string translated = dictionary.translate(key, &found);
      ZEL_FUZZ_REQUIRE(dictionary.isTranslatable(key) == found,
                       "isTranslatable agrees with translate");
      ZEL_FUZZ_REQUIRE(found == (entry != entries.end()),
                       "entry for \"" + key + "\" as the model says");
      ZEL_FUZZ_REQUIRE(!found || translated == entry->second,
                       "translation of \"" + key + "\"");
    }
  }
}

}  // namespace zel::fuzz
