#include <zel/ProgressBudget.h>
#include <zel/ProgressFunction.h>
#include <zel/ProgressOperation.h>

namespace zel {

ProgressBudget::ProgressBudget() : m_currentOp(0) {}
ProgressBudget::ProgressBudget(const ProgressBudget& other) = default;
ProgressBudget& ProgressBudget::operator=(const ProgressBudget& other) =
    default;
ProgressBudget::~ProgressBudget() = default;

void ProgressBudget::setCurrentOperation(const ProgressOperation& operation) {
  m_currentOp = static_cast<int>(operation);
}

float ProgressBudget::getWeightFactor(const ProgressFunction& function) const {
  const auto operation = m_itinerary.find(m_currentOp);
  if (operation == m_itinerary.end()) return 0.0f;
  const auto weight = operation->second.find(static_cast<int>(function));
  if (weight == operation->second.end()) return 0.0f;
  // Exactly as the builder gave it: the weights are never normalised.
  return weight->second;
}

std::string ProgressBudget::getDisplayLabel(
    const ProgressFunction& function) const {
  const auto label = m_functions.find(static_cast<int>(function));
  return label == m_functions.end() ? std::string() : label->second;
}

int ProgressBudget::currentOp() const { return m_currentOp; }

std::map<int, std::map<int, float>>& ProgressBudget::itinerary() {
  return m_itinerary;
}

std::map<int, std::string>& ProgressBudget::functions() { return m_functions; }

std::map<int, std::string>& ProgressBudget::operations() {
  return m_operations;
}

}  // namespace zel
