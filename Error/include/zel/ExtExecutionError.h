#pragma once

#include <string>

#include <zel/Error.h>
#include <zel/Export.h>

namespace zel {
namespace extsub {
namespace error {

/// The library's own exception class, for applications that report failures of
/// external executions. It adds nothing to Error but its kind name.
class ZEL_ERROR_API ExtExecutionError : public Error {
 public:
  ExtExecutionError();
  /// An exception of kind "ExtExecutionError" thrown by `methodName` of
  /// `className` with `message`.
  ExtExecutionError(const std::string& className, const std::string& methodName,
                    const std::string& message, errorType type);
  ExtExecutionError(const ExtExecutionError& other);  ///< Copies `other`.
  ExtExecutionError& operator=(const ExtExecutionError& other);  ///< Assigns a copy of `other`.
  ~ExtExecutionError() override;
};

}  // namespace error
}  // namespace extsub
}  // namespace zel
