#include <zel/InternalError.h>
#include <zel/ProgressBudget.h>
#include <zel/ProgressBudgetBuilder.h>
#include <zel/SystemMsg.h>

namespace zel {
namespace {

// The creation operations fill the budget that createNewBudget() made; called
// before it, they have nothing to fill, which is a mistake in the application's
// builder and is thrown at the operation that made it.
void requireBudget(const ProgressBudget* budget, const char* method) {
  if (budget == nullptr) {
    throw internal::error(
        "ProgressBudgetBuilder", method,
        SystemMsg("No budget has been created: call createNewBudget() first.")
            .str(),
        typeError);
  }
}

}  // namespace

ProgressBudgetBuilder::ProgressBudgetBuilder() : m_newBudget(nullptr) {}
ProgressBudgetBuilder::ProgressBudgetBuilder(
    const ProgressBudgetBuilder& other) = default;
ProgressBudgetBuilder& ProgressBudgetBuilder::operator=(
    const ProgressBudgetBuilder& other) = default;
// The budget belongs to whoever received it from the director.
ProgressBudgetBuilder::~ProgressBudgetBuilder() = default;

void ProgressBudgetBuilder::createNewBudget() {
  m_newBudget = new ProgressBudget();
}

ProgressBudget* ProgressBudgetBuilder::getBudget() { return m_newBudget; }

void ProgressBudgetBuilder::createOperation(int id, std::string const& label) {
  requireBudget(m_newBudget, "createOperation");
  getOperations()[id] = label;
  // Adds an empty entry only when the operation has none; functions already
  // added to it stay.
  getItinerary().emplace(id, std::map<int, float>());
}

void ProgressBudgetBuilder::createFunction(int id, std::string const& label) {
  requireBudget(m_newBudget, "createFunction");
  getFunctions()[id] = label;
}

void ProgressBudgetBuilder::addFunctionToOperation(int operation, int function,
                                                   float weight) {
  requireBudget(m_newBudget, "addFunctionToOperation");
  auto& itinerary = getItinerary();
  const auto entry = itinerary.find(operation);
  // Operations are created before their functions are added; an addition to
  // an unknown operation is dropped, and the first weight given stays.
  if (entry == itinerary.end()) return;
  entry->second.emplace(function, weight);
}

std::map<int, std::string>& ProgressBudgetBuilder::getOperations() {
  return m_newBudget->operations();
}

std::map<int, std::string>& ProgressBudgetBuilder::getFunctions() {
  return m_newBudget->functions();
}

std::map<int, std::map<int, float>>& ProgressBudgetBuilder::getItinerary() {
  return m_newBudget->itinerary();
}

}  // namespace zel
