#include <zel/ProgressBudget.h>
#include <zel/ProgressFunction.h>

namespace zel {

// No budget is in force until the application's director (or the application
// itself) installs one; the pointer never owns it.
ProgressBudget* ProgressFunction::m_budget = nullptr;

ProgressFunction::ProgressFunction(int id, int reentries)
    : m_id(id), m_numReentries(reentries), m_numIncrements(0) {}

ProgressFunction::ProgressFunction(const ProgressFunction& other) = default;
ProgressFunction& ProgressFunction::operator=(const ProgressFunction& other) =
    default;
ProgressFunction::~ProgressFunction() = default;

void ProgressFunction::setBudget(ProgressBudget* budget) { m_budget = budget; }

ProgressFunction::operator int() const { return m_id; }

std::string ProgressFunction::getLabel() const {
  if (m_budget == nullptr) return std::string();
  return m_budget->getDisplayLabel(*this);
}

float ProgressFunction::getWeight() const {
  const float factor =
      m_budget == nullptr ? 0.0f : m_budget->getWeightFactor(*this);
  // The constructor keeps the count it was given; a count below 1 shares the
  // weight as a single run does, like the count setNumReentries() would store,
  // so that no weight becomes infinite, not a number or negated.
  const int runs = m_numReentries < 1 ? 1 : m_numReentries;
  return factor / static_cast<float>(runs);
}

int ProgressFunction::getNumIncrements() const { return m_numIncrements; }

void ProgressFunction::setNumIncrements(int increments) {
  m_numIncrements = increments;
}

void ProgressFunction::setNumReentries(int reentries) {
  m_numReentries = reentries < 1 ? 1 : reentries;
}

ProgressFunction::operator ProgressSubOp() const {
  return ProgressSubOp(getLabel(), getWeight(), getNumIncrements());
}

}  // namespace zel
