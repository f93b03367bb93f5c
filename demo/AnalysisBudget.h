// The demo's progress budget: which functions each operation runs and what
// share of the operation each is worth.
#pragma once

#include <zel/ProgressBudgetBuilder.h>

namespace demo {

// Operations.
enum Operation { kAnalysis = 1, kOutput = 2 };
// Functions.
enum Function {
  kLoadMesh = 10,
  kAssemble = 11,
  kSolve = 12,
  kWriteResults = 13,
  kWriteMesh = 20,
  kWriteFields = 21,
  kWriteSummary = 22
};

class AnalysisBudgetBuilder : public zel::ProgressBudgetBuilder {
 public:
  void buildOperations() override;
  void buildFunctions() override;
  void buildItinerary() override;
};

}  // namespace demo
