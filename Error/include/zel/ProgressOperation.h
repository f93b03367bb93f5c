// An operation of a progress budget, named by the application's integer
// identifier (its type). Make it current with ProgressBudget::setCurrentOperation.
#pragma once

#include <zel/Export.h>

namespace zel {

class ZEL_ERROR_API ProgressOperation {
 public:
  ProgressOperation();
  ProgressOperation(int type);  // NOLINT(google-explicit-constructor)
  ProgressOperation(const ProgressOperation& other);
  ProgressOperation& operator=(const ProgressOperation& other);
  virtual ~ProgressOperation();

  operator int() const;  // NOLINT(google-explicit-constructor)

 protected:
  void setType(int type);

 private:
  int m_type;
};

}  // namespace zel
