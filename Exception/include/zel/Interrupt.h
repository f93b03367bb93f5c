#pragma once

#include <zel/Error.h>

namespace zel {

/// Thrown when the user interrupts a long operation.
class ZEL_EXCEPTION_API Interrupt : public Error {
 public:
  /// An interrupt raised in `methodName` of `className` with `message`.
  Interrupt(const std::string& className, const std::string& methodName,
            const std::string& message, errorType type);
  Interrupt(const Interrupt& other);  ///< Copies `other`.
  Interrupt& operator=(const Interrupt& other);  ///< Assigns a copy of `other`.
  ~Interrupt() override;
};

}  // namespace zel
