#include <zel/InternalError.h>
#include <zel/ProgressBudgetBuilder.h>
#include <zel/ProgressBudgetDirector.h>
#include <zel/ProgressFunction.h>
#include <zel/SystemMsg.h>

namespace zel {

ProgressBudgetDirector::ProgressBudgetDirector() : m_builder(nullptr) {}
ProgressBudgetDirector& ProgressBudgetDirector::operator=(
    const ProgressBudgetDirector& other) = default;
// Neither the builder nor the budgets it built belong to the director.
ProgressBudgetDirector::~ProgressBudgetDirector() = default;

void ProgressBudgetDirector::setBuilder(ProgressBudgetBuilder* builder) {
  m_builder = builder;
}

ProgressBudget* ProgressBudgetDirector::constructBudget() {
  if (m_builder == nullptr) {
    throw internal::error(
        "ProgressBudgetDirector", "constructBudget",
        SystemMsg("No builder has been set: call setBuilder() first.").str(),
        typeError);
  }
  m_builder->createNewBudget();
  // Operations first, so that the itinerary step can add functions to them.
  m_builder->buildOperations();
  m_builder->buildFunctions();
  m_builder->buildItinerary();
  ProgressFunction::setBudget(m_builder->getBudget());
  return m_builder->getBudget();
}

}  // namespace zel
