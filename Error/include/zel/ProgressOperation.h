#pragma once

#include <zel/Export.h>

namespace zel {

/// An operation of a progress budget, named by the application's integer
/// identifier (its type). Make it current with ProgressBudget::setCurrentOperation.
class ZEL_ERROR_API ProgressOperation {
 public:
  /// The operation 0.
  ProgressOperation();
  /// The operation `type`.
  ProgressOperation(int type);  // NOLINT(google-explicit-constructor)
  ProgressOperation(const ProgressOperation& other);  ///< Copies `other`.
  ProgressOperation& operator=(const ProgressOperation& other);  ///< Assigns a copy of `other`.
  /// Deletes a derived operation through its base.
  virtual ~ProgressOperation();

  /// The operation's identifier.
  operator int() const;  // NOLINT(google-explicit-constructor)

 protected:
  /// Replaces the identifier; for derived classes.
  void setType(int type);

 private:
  int m_type;
};

}  // namespace zel
