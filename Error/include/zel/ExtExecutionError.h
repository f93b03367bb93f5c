// The library's own exception class, for applications that report failures of
// external executions. It adds nothing to Error but its kind name.
#pragma once

#include <string>

#include <zel/Error.h>
#include <zel/Export.h>

namespace zel {
namespace extsub {
namespace error {

class ZEL_ERROR_API ExtExecutionError : public Error {
 public:
  ExtExecutionError();
  ExtExecutionError(const std::string& className, const std::string& methodName,
                    const std::string& message, errorType type);
  ExtExecutionError(const ExtExecutionError& other);
  ExtExecutionError& operator=(const ExtExecutionError& other);
  ~ExtExecutionError() override;
};

}  // namespace error
}  // namespace extsub
}  // namespace zel
