// Thrown when the user interrupts a long operation.
#pragma once

#include <zel/Error.h>

namespace zel {

class ZEL_EXCEPTION_API Interrupt : public Error {
 public:
  Interrupt(const std::string& className, const std::string& methodName,
            const std::string& message, errorType type);
  Interrupt(const Interrupt& other);
  Interrupt& operator=(const Interrupt& other);
  ~Interrupt() override;
};

}  // namespace zel
