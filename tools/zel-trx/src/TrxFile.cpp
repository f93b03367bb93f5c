#include "TrxFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "ToolError.h"
#include "TrxFormat.h"

namespace zel::trxtool {
namespace {

std::string systemError(const std::string& path, const std::string& what) {
  return path + ": " + what + ": " + std::strerror(errno);
}

}  // namespace

std::string TrxFile::bytes() const {
  std::string result;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    result += lines[i];
    if (i + 1 < lines.size() || endsWithNewline) result += '\n';
  }
  return result;
}

TrxFile loadTrxFile(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    throw ToolError(systemError(path, "cannot read the file"));
  }
  if (S_ISDIR(status.st_mode)) {
    throw ToolError(path + ": cannot read the file: it is a directory");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ToolError(systemError(path, "cannot read the file"));
  std::ostringstream contents;
  contents << in.rdbuf();
  if (in.bad()) throw ToolError(systemError(path, "error while reading the file"));

  TrxFile file;
  file.path = path;
  const std::string text = contents.str();
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      file.lines.push_back(text.substr(start));
      file.endsWithNewline = false;
      break;
    }
    file.lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return file;
}

void requireUsableLanguage(const TrxFile& file, const std::string& language,
                           const std::string& where) {
  for (const std::string& known : languagesIn(file.lines)) {
    if (known == language) return;
  }
  if (looksLikeLanguageCode(language)) return;
  throw ToolError(where + ": unknown language " + quoted(language) +
                  ": it occurs in no translation tag of " + file.path +
                  " and is not a language code such as \"de\" or \"de_CH\"");
}

}  // namespace zel::trxtool
