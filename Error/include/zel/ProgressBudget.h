#pragma once

#include <map>
#include <string>

#include <zel/Export.h>

namespace zel {

class ProgressBudgetBuilder;
class ProgressFunction;
class ProgressOperation;

/// Which functions each operation runs and what share of the operation's
/// progress each is worth, with the labels of operations and functions, and the
/// current operation. Budgets are created and filled by a ProgressBudgetBuilder
/// (run by a ProgressBudgetDirector); the caller owns them.
///
/// Weights are returned exactly as the builder gave them: nothing normalises
/// them, and a function the current operation does not list weighs 0.0.
class ZEL_ERROR_API ProgressBudget {
 public:
  ProgressBudget(const ProgressBudget& other);  ///< Copies `other`.
  ProgressBudget& operator=(const ProgressBudget& other);  ///< Assigns a copy of `other`.
  ~ProgressBudget();

  /// Makes `operation` current: its functions' weights apply from now on.
  void setCurrentOperation(const ProgressOperation& operation);
  /// The function's weight in the current operation; 0.0 when not listed.
  float getWeightFactor(const ProgressFunction& function) const;
  /// The function's label; "" when it has none.
  std::string getDisplayLabel(const ProgressFunction& function) const;

 private:
  friend class ProgressBudgetBuilder;
  ProgressBudget();

  int currentOp() const;
  std::map<int, std::map<int, float>>& itinerary();
  std::map<int, std::string>& functions();
  std::map<int, std::string>& operations();

  int m_currentOp;
  std::map<int, std::map<int, float>> m_itinerary;
  std::map<int, std::string> m_functions;
  std::map<int, std::string> m_operations;
};

}  // namespace zel
