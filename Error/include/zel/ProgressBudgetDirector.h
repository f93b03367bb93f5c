#pragma once

#include <zel/Export.h>

namespace zel {

class ProgressBudget;
class ProgressBudgetBuilder;

/// Runs a budget builder and puts the finished budget in force:
///
///   MyBuilder builder;
///   ProgressBudgetDirector director;
///   director.setBuilder(&builder);
///   std::unique_ptr<ProgressBudget> budget(director.constructBudget());
///
/// The caller owns the budget, which must outlive its use by progress functions.
class ZEL_ERROR_API ProgressBudgetDirector {
 public:
  /// A director without a builder.
  ProgressBudgetDirector();
  /// Assigns a copy of `other`.
  ProgressBudgetDirector& operator=(const ProgressBudgetDirector& other);
  /// Leaves the builder to its owner.
  ~ProgressBudgetDirector();

  /// The builder that constructBudget() runs; never owned.
  void setBuilder(ProgressBudgetBuilder* builder);
  /// createNewBudget, buildOperations, buildFunctions, buildItinerary, then
  /// ProgressFunction::setBudget. Throws internal::error without a builder.
  ProgressBudget* constructBudget();

 private:
  ProgressBudgetBuilder* m_builder;
};

}  // namespace zel
