#include "AnalysisBudget.h"

#include <zel/UserMsg.h>

namespace demo {

void AnalysisBudgetBuilder::buildOperations() {
  createOperation(kAnalysis, "Analysis");
  createOperation(kOutput, "Output");
}

void AnalysisBudgetBuilder::buildFunctions() {
  // The labels are what the progress display shows, so they are translated
  // now, in the language chosen at start-up.
  const auto label = [](const char* text) { return zel::UserMsg(text, nullptr).str(); };
  createFunction(kLoadMesh, label("Load mesh"));
  createFunction(kAssemble, label("Assemble"));
  createFunction(kSolve, label("Solve"));
  createFunction(kWriteResults, label("Write results"));
  createFunction(kWriteMesh, label("Write mesh"));
  createFunction(kWriteFields, label("Write fields"));
  createFunction(kWriteSummary, label("Write summary"));
}

void AnalysisBudgetBuilder::buildItinerary() {
  addFunctionToOperation(kAnalysis, kLoadMesh, 0.1f);
  addFunctionToOperation(kAnalysis, kAssemble, 0.3f);
  addFunctionToOperation(kAnalysis, kSolve, 0.5f);
  addFunctionToOperation(kAnalysis, kWriteResults, 0.1f);
  // Writing the results is made of three guarded functions.
  addFunctionToOperation(kOutput, kWriteMesh, 0.2f);
  addFunctionToOperation(kOutput, kWriteFields, 0.7f);
  addFunctionToOperation(kOutput, kWriteSummary, 0.1f);
}

}  // namespace demo
