// The base of an application's budget builder. Override the three build steps
// and enter the budget's data with the protected creation operations; a
// ProgressBudgetDirector runs buildOperations, buildFunctions, buildItinerary,
// in that order, on a new budget. The builder never owns the budget.
//
// The creation operations need a budget: before createNewBudget() they throw
// internal::error.
#pragma once

#include <map>
#include <string>

#include <zel/Export.h>

namespace zel {

class ProgressBudget;

class ZEL_ERROR_API ProgressBudgetBuilder {
 public:
  ProgressBudgetBuilder();
  ProgressBudgetBuilder(const ProgressBudgetBuilder& other);
  ProgressBudgetBuilder& operator=(const ProgressBudgetBuilder& other);
  virtual ~ProgressBudgetBuilder();

  virtual void buildItinerary() = 0;
  virtual void buildFunctions() = 0;
  virtual void buildOperations() = 0;

  // Starts a new empty budget; the previous one is left to its owner.
  void createNewBudget();
  ProgressBudget* getBudget();

 protected:
  // Sets the operation's label; keeps the functions already added to it.
  void createOperation(int id, std::string const& label);
  // Sets the function's label.
  void createFunction(int id, std::string const& label);
  // Records the weight unless the operation does not exist or already lists
  // the function (the first weight stays).
  void addFunctionToOperation(int operation, int function, float weight);

 private:
  std::map<int, std::string>& getOperations();
  std::map<int, std::string>& getFunctions();
  std::map<int, std::map<int, float>>& getItinerary();

  ProgressBudget* m_newBudget;
};

}  // namespace zel
