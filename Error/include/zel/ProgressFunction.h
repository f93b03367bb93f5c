#pragma once

#include <string>

#include <zel/Export.h>
#include <zel/ProgressSubOp.h>

namespace zel {

class ProgressBudget;

/// A function of an operation, named by the application's integer identifier.
/// Through the budget in force it yields its label and its weight: the weight
/// the budget gives it in the current operation, shared evenly among its
/// re-entries (a function entered n times gives each run 1/n).
///
/// The budget in force is process-wide, set with setBudget(), never owned.
class ZEL_ERROR_API ProgressFunction {
 public:
  /// The function `id`, entered `reentries` times within one operation.
  ProgressFunction(int id = 0, int reentries = 1);  // NOLINT
  ProgressFunction(const ProgressFunction& other);  ///< Copies `other`.
  ProgressFunction& operator=(const ProgressFunction& other);  ///< Assigns a copy of `other`.
  /// Deletes a derived function through its base.
  virtual ~ProgressFunction();

  /// Puts the budget in force for every function; the previous one is left alone.
  static void setBudget(ProgressBudget* budget);

  /// The identifier.
  operator int() const;  // NOLINT(google-explicit-constructor)
  /// The budget's label for the identifier; "" without one.
  std::string getLabel() const;
  /// The budget's weight factor (0.0 without a budget) ÷ the re-entries.
  float getWeight() const;
  /// The increments of one run.
  int getNumIncrements() const;
  /// Sets the increments of one run.
  void setNumIncrements(int increments);
  /// Counts below 1 are stored as 1.
  void setNumReentries(int reentries);
  /// The sub-operation: label, weight and increments.
  operator ProgressSubOp() const;  // NOLINT(google-explicit-constructor)

 private:
  int m_id;
  int m_numReentries;
  int m_numIncrements;
  static ProgressBudget* m_budget;
};

}  // namespace zel
