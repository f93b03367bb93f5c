#include "PoFile.h"

#include <gettext-po.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <type_traits>

#include "ToolError.h"
#include "Output.h"

namespace zel::trxtool {
namespace {

// libgettextpo reports problems through a handler that must not return after
// a fatal one. The handler records every error and, on a fatal one, jumps
// back to the one plain function that called the library (guardedCall below),
// whose frame holds no C++ object, so that no destructor is skipped (the
// handlers themselves hold none either when they jump).
struct Problems {
  std::vector<std::string> errors;
  std::jmp_buf fatalJump;
};
Problems* s_problems = nullptr;

std::string located(const char* file, std::size_t line, const char* text) {
  std::string message;
  if (file != nullptr && *file != '\0') {
    message = file;
    if (line != static_cast<std::size_t>(-1) && line != 0) {
      message += ":" + std::to_string(line);
    }
    message += ": ";
  }
  message += text;
  while (!message.empty() && message.back() == '\n') message.pop_back();
  return message;
}

void onError(int severity, po_message_t, const char* file, std::size_t line,
             std::size_t, int, const char* text) {
  if (severity == PO_SEVERITY_WARNING) return;
  s_problems->errors.push_back(located(file, line, text));
  if (severity == PO_SEVERITY_FATAL_ERROR) std::longjmp(s_problems->fatalJump, 1);
}

void onError2(int severity, po_message_t, const char* file1, std::size_t line1,
              std::size_t, int, const char* text1, po_message_t, const char* file2,
              std::size_t line2, std::size_t, int, const char* text2) {
  if (severity == PO_SEVERITY_WARNING) return;
  // The second part only points at another place, when the library has one.
  const bool elsewhere = file2 != nullptr && *file2 != '\0';
  s_problems->errors.push_back(located(file1, line1, text1) +
                               (elsewhere ? " (" + located(file2, line2, text2) + ")" : ""));
  if (severity == PO_SEVERITY_FATAL_ERROR) std::longjmp(s_problems->fatalJump, 1);
}

const po_xerror_handler kHandler = {onError, onError2};

enum class Call { Read, Write, Check };

// The only frame between setjmp and the library: plain values only.
bool guardedCall(Call call, const char* path, po_file_t file,
                 po_message_t message, po_message_iterator_t iterator,
                 po_file_t* result) {
  if (setjmp(s_problems->fatalJump) != 0) return false;
  switch (call) {
    case Call::Read: *result = po_file_read(path, &kHandler); break;
    case Call::Write: po_file_write(file, path, &kHandler); break;
    case Call::Check: po_message_check_all(message, iterator, &kHandler); break;
  }
  return true;
}

// Installs a fresh problem record for one library call.
class ProblemScope {
 public:
  ProblemScope() { s_problems = &m_problems; }
  ~ProblemScope() { s_problems = nullptr; }
  ProblemScope(const ProblemScope&) = delete;
  ProblemScope& operator=(const ProblemScope&) = delete;
  const std::vector<std::string>& errors() const { return m_problems.errors; }

 private:
  Problems m_problems;
};

struct FileDeleter {
  void operator()(po_file_t file) const { po_file_free(file); }
};
using FilePtr = std::unique_ptr<std::remove_pointer_t<po_file_t>, FileDeleter>;
struct IteratorDeleter {
  void operator()(po_message_iterator_t iterator) const {
    po_message_iterator_free(iterator);
  }
};
using IteratorPtr =
    std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, IteratorDeleter>;

std::string headerField(const char* header, const char* field) {
  char* value = po_header_field(header, field);
  if (value == nullptr) return std::string();
  std::string result(value);
  std::free(value);
  return result;
}

std::string headerText(const PoCatalog& catalog) {
  return "Project-Id-Version: " + catalog.project +
         "\n"
         "PO-Revision-Date: \n"
         "Last-Translator: \n"
         "Language-Team: \n"
         "Language: " +
         catalog.language +
         "\n"
         "MIME-Version: 1.0\n"
         "Content-Type: text/plain; charset=UTF-8\n"
         "Content-Transfer-Encoding: 8bit\n"
         "X-Generator: zel-trx\n";
}

po_message_t newMessage(const PoMessage& message) {
  po_message_t created = po_message_create();
  po_message_set_msgid(created, message.source.c_str());
  po_message_set_msgstr(created, message.translation.c_str());
  if (message.qtFormat) po_message_set_format(created, "qt-format", 1);
  if (message.fuzzy) po_message_set_fuzzy(created, 1);
  if (!message.comment.empty()) {
    po_message_set_comments(created, (message.comment + "\n").c_str());
  }
  if (!message.referenceFile.empty()) {
    po_message_add_filepos(created, message.referenceFile.c_str(), message.referenceLine);
  }
  return created;
}

// A file that the library can open by name, read back and gone afterwards.
class ScratchFile {
 public:
  ScratchFile() {
#ifdef MFD_CLOEXEC
    m_fd = ::memfd_create("zel-trx-po", MFD_CLOEXEC);
    if (m_fd >= 0) {
      m_path = "/proc/self/fd/" + std::to_string(m_fd);
      if (::access(m_path.c_str(), W_OK) == 0) return;
      ::close(m_fd);
    }
#endif
    m_path = (std::filesystem::temp_directory_path() / "zel-trx-po-XXXXXX").string();
    m_fd = ::mkstemp(m_path.data());
    if (m_fd < 0) throw ToolError(m_path + ": cannot create a scratch file: " + std::strerror(errno));
    m_named = true;
  }
  ~ScratchFile() {
    ::close(m_fd);
    if (m_named) ::unlink(m_path.c_str());
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& path() const { return m_path; }

  std::string contents(const std::string& forPath) const {
    std::string text;
    char buffer[65536];
    off_t offset = 0;
    for (;;) {
      const ssize_t got = ::pread(m_fd, buffer, sizeof buffer, offset);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) throw ToolError(forPath + ": cannot write the file: " + std::strerror(errno));
      if (got == 0) return text;
      text.append(buffer, static_cast<std::size_t>(got));
      offset += got;
    }
  }

 private:
  std::string m_path;
  int m_fd = -1;
  bool m_named = false;
};

// A PO file in memory and an insertion point in it; the iterator is freed
// before the file.
struct MemoryFile {
  FilePtr file;
  IteratorPtr iterator;
};

// A PO file in memory holding just the header of `catalog`, its iterator
// after the header.
MemoryFile fileWithHeader(const PoCatalog& catalog) {
  MemoryFile memory;
  memory.file.reset(po_file_create());
  memory.iterator.reset(po_message_iterator(memory.file.get(), nullptr));
  po_message_t header = po_message_create();
  po_message_set_msgid(header, "");
  po_message_set_msgstr(header, headerText(catalog).c_str());
  if (!catalog.headerComment.empty()) {
    po_message_set_comments(header, (catalog.headerComment + "\n").c_str());
  }
  po_message_insert(memory.iterator.get(), header);
  return memory;
}

// What the library writes for `file`. The library does not check its own
// writes, so it writes into memory (or, where memory files are missing, into
// a file of the temporary directory) and the tool writes the result itself,
// checking every step.
std::string poText(po_file_t file, const std::string& path) {
  ScratchFile scratch;
  ProblemScope problems;
  const bool finished =
      guardedCall(Call::Write, scratch.path().c_str(), file, nullptr, nullptr, nullptr);
  if (!finished || !problems.errors().empty()) {
    throw ToolError(path + ": cannot write the file: " +
                    (problems.errors().empty() ? "unknown error" : problems.errors().front()));
  }
  return scratch.contents(path);
}

}  // namespace

void writePoFile(const std::string& path, const PoCatalog& catalog) {
  MemoryFile memory = fileWithHeader(catalog);
  for (const PoMessage& message : catalog.messages) {
    po_message_insert(memory.iterator.get(), newMessage(message));
  }
  const std::string text = poText(memory.file.get(), path);
  if (path == "-") {
    writeStandardOutput(text);
  } else {
    replaceFile(path, text);
  }
}

PoCatalog readPoFile(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    throw ToolError(path + ": cannot read the file: " + std::strerror(errno));
  }
  if (S_ISDIR(status.st_mode)) {
    throw ToolError(path + ": cannot read the file: it is a directory");
  }

  po_file_t read = nullptr;
  ProblemScope problems;
  errno = 0;
  const bool finished = guardedCall(Call::Read, path.c_str(), nullptr, nullptr, nullptr, &read);
  FilePtr file(read);
  if (finished && read == nullptr) {
    throw ToolError(path + ": cannot read the file: " + std::strerror(errno));
  }
  if (!finished || !problems.errors().empty()) {
    std::string message = problems.errors().empty()
                              ? path + ": not a valid PO file"
                              : problems.errors().front();
    if (problems.errors().size() > 1) {
      const std::size_t more = problems.errors().size() - 1;
      message += " (and " + std::to_string(more) + (more == 1 ? " more problem)" : " more problems)");
    }
    throw ToolError(message);
  }

  PoCatalog catalog;
  // The header comes as a copy that the caller frees.
  if (const std::unique_ptr<char, decltype(&std::free)> header(
          const_cast<char*>(po_file_domain_header(file.get(), nullptr)), &std::free);
      header) {
    catalog.language = headerField(header.get(), "Language");
    catalog.project = headerField(header.get(), "Project-Id-Version");
    const std::string contentType = headerField(header.get(), "Content-Type");
    const std::size_t charset = contentType.find("charset=");
    if (charset != std::string::npos) {
      catalog.charset = contentType.substr(charset + 8);
      catalog.charset.erase(catalog.charset.find_last_not_of(" \t;") + 1);
    }
  }
  IteratorPtr iterator(po_message_iterator(file.get(), nullptr));
  while (po_message_t message = po_next_message(iterator.get())) {
    if (po_message_is_obsolete(message) || *po_message_msgid(message) == '\0') {
      continue;
    }
    PoMessage read;
    read.source = po_message_msgid(message);
    read.translation = po_message_msgstr(message);
    read.fuzzy = po_message_is_fuzzy(message) != 0;
    read.qtFormat = po_message_is_format(message, "qt-format") != 0;
    read.hasContext = po_message_msgctxt(message) != nullptr;
    read.hasPlural = po_message_msgid_plural(message) != nullptr;
    catalog.messages.push_back(std::move(read));
  }
  return catalog;
}

std::vector<std::string> checkMessage(const PoMessage& message) {
  PoCatalog context;
  context.language = "en";
  context.project = "check";
  MemoryFile memory = fileWithHeader(context);
  PoMessage unflagged = message;
  unflagged.fuzzy = false;
  po_message_t candidate = newMessage(unflagged);
  ProblemScope problems;
  guardedCall(Call::Check, nullptr, nullptr, candidate, memory.iterator.get(), nullptr);
  // The library has no call that frees a lone message: the file frees it.
  po_message_insert(memory.iterator.get(), candidate);
  return problems.errors();
}

}  // namespace zel::trxtool
