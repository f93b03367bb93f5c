// The one exception of the tool: a message for the user that already names
// the file (and line) it is about. main() prints it and exits with status 2.
#ifndef ZEL_TRX_TOOLERROR_H
#define ZEL_TRX_TOOLERROR_H

#include <stdexcept>
#include <string>

namespace zel::trxtool {

class ToolError : public std::runtime_error {
 public:
  explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace zel::trxtool

#endif  // ZEL_TRX_TOOLERROR_H
