#include <zel/ExtExecutionError.h>

namespace zel {
namespace extsub {
namespace error {

ExtExecutionError::ExtExecutionError() = default;

ExtExecutionError::ExtExecutionError(const std::string& className,
                                     const std::string& methodName,
                                     const std::string& message, errorType type)
    : Error("ExtExecutionError", className, methodName, message, type, 0) {}

ExtExecutionError::ExtExecutionError(const ExtExecutionError& other) = default;
ExtExecutionError& ExtExecutionError::operator=(
    const ExtExecutionError& other) = default;
ExtExecutionError::~ExtExecutionError() = default;

}  // namespace error
}  // namespace extsub
}  // namespace zel
