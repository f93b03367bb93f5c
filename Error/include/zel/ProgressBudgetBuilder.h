#pragma once

#include <map>
#include <string>

#include <zel/Export.h>

namespace zel {

class ProgressBudget;

/// The base of an application's budget builder. Override the three build steps
/// and enter the budget's data with the protected creation operations; a
/// ProgressBudgetDirector runs buildOperations, buildFunctions, buildItinerary,
/// in that order, on a new budget. The builder never owns the budget.
///
/// The creation operations need a budget: before createNewBudget() they throw
/// internal::error.
class ZEL_ERROR_API ProgressBudgetBuilder {
 public:
  /// A builder without a budget.
  ProgressBudgetBuilder();
  ProgressBudgetBuilder(const ProgressBudgetBuilder& other);  ///< Copies `other`.
  /// Assigns a copy of `other`.
  ProgressBudgetBuilder& operator=(const ProgressBudgetBuilder& other);
  /// Leaves the budget to its owner.
  virtual ~ProgressBudgetBuilder();

  /// Adds the functions to the operations with their weights
  /// (addFunctionToOperation).
  virtual void buildItinerary() = 0;
  /// Creates the functions with their labels (createFunction).
  virtual void buildFunctions() = 0;
  /// Creates the operations with their labels (createOperation).
  virtual void buildOperations() = 0;

  /// Starts a new empty budget; the previous one is left to its owner.
  void createNewBudget();
  /// The budget being built, or null before createNewBudget(); not owned.
  ProgressBudget* getBudget();

 protected:
  /// Sets the operation's label; keeps the functions already added to it.
  void createOperation(int id, std::string const& label);
  /// Sets the function's label.
  void createFunction(int id, std::string const& label);
  /// Records the weight unless the operation does not exist or already lists
  /// the function (the first weight stays).
  void addFunctionToOperation(int operation, int function, float weight);

 private:
  std::map<int, std::string>& getOperations();
  std::map<int, std::string>& getFunctions();
  std::map<int, std::map<int, float>>& getItinerary();

  ProgressBudget* m_newBudget;
};

}  // namespace zel
