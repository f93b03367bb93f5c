#include <gtest/gtest.h>
#include <zel/ApplicationProgressReporterImpl.h>
#include <zel/InternalError.h>
#include <zel/ProgressBudget.h>
#include <zel/ProgressBudgetBuilder.h>
#include <zel/ProgressBudgetDirector.h>
#include <zel/ProgressFunction.h>
#include <zel/ProgressOperation.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace zel {
namespace {

// Runs the steps a test gives it and journals the order the director used.
// By default operation 1 (Run) lists function 10 (Load) with 0.6 and
// function 11 (Compute) with 0.4.
class ScriptedBuilder : public ProgressBudgetBuilder {
 public:
  using Step = std::function<void(ScriptedBuilder&)>;
  using ProgressBudgetBuilder::addFunctionToOperation;
  using ProgressBudgetBuilder::createFunction;
  using ProgressBudgetBuilder::createOperation;
  void buildOperations() override { run("operations", operations); }
  void buildFunctions() override { run("functions", functions); }
  void buildItinerary() override { run("itinerary", itinerary); }

  Step operations = [](ScriptedBuilder& b) { b.createOperation(1, "Run"); };
  Step functions = [](ScriptedBuilder& b) {
    b.createFunction(10, "Load");
    b.createFunction(11, "Compute");
  };
  Step itinerary = [](ScriptedBuilder& b) {
    b.addFunctionToOperation(1, 10, 0.6f);
    b.addFunctionToOperation(1, 11, 0.4f);
  };
  std::vector<std::string> steps;

 private:
  void run(const char* name, const Step& step) {
    steps.push_back(name);
    step(*this);
  }
};

// Builds with a director, puts the budget in force, and takes it out of force
// at the end of the test.
struct BudgetInForce {
  explicit BudgetInForce(ScriptedBuilder& builder) {
    ProgressBudgetDirector director;
    director.setBuilder(&builder);
    budget.reset(director.constructBudget());
  }
  ~BudgetInForce() { ProgressFunction::setBudget(nullptr); }
  std::unique_ptr<ProgressBudget> budget;
};

TEST(ProgressBudget, FunctionsShareTheirWeightInTheCurrentOperationAmongRuns) {
  const ProgressFunction load(10, 3), compute(11);
  const ProgressSubOp bare = load;
  EXPECT_EQ(bare.name, "");
  EXPECT_EQ(bare.weight, 0.0f);

  ScriptedBuilder builder;
  BudgetInForce inForce(builder);
  EXPECT_EQ(builder.steps,
            (std::vector<std::string>{"operations", "functions", "itinerary"}));
  EXPECT_EQ(load.getWeight(), 0.0f);  // operation 0 is current
  inForce.budget->setCurrentOperation(ProgressOperation(1));
  EXPECT_EQ(load.getWeight(), 0.6f / 3.0f);
  EXPECT_EQ(compute.getWeight(), 0.4f);
  ProgressBudget copy(*inForce.budget);
  copy.setCurrentOperation(ProgressOperation(2));
  EXPECT_EQ(inForce.budget->getWeightFactor(compute), 0.4f);
  inForce.budget->setCurrentOperation(ProgressOperation(2));
  EXPECT_EQ(load.getWeight(), 0.0f);
  EXPECT_EQ(load.getLabel(), "Load");

  inForce.budget->setCurrentOperation(ProgressOperation(1));
  ProgressFunction counted(10);
  counted.setNumIncrements(250);
  struct Case {
    int reentries;
    float weight;
  };
  for (const Case& c : {Case{3, 0.6f / 3.0f}, Case{0, 0.6f}, Case{-5, 0.6f}}) {
    SCOPED_TRACE(c.reentries);
    counted.setNumReentries(c.reentries);
    const ProgressSubOp record = counted;
    EXPECT_EQ(record.weight, c.weight);
    EXPECT_EQ(record.name, "Load");
    EXPECT_EQ(record.totalIncrements, 250);
    EXPECT_EQ(ProgressFunction(10, c.reentries).getWeight(), c.weight);
  }
}

TEST(ProgressBudget, PredictionByFunctionReachesTheOverridingReporter) {
  struct Overriding : ApplicationProgressReporterImpl {
    using ApplicationProgressReporterImpl::predictProgress;
    void predictProgress(std::string const& name, float weight,
                         float estimate) override {
      received = name;
      ApplicationProgressReporterImpl::predictProgress(name, weight, estimate);
    }
    std::string received;
  } reporter;
  ScriptedBuilder builder;
  BudgetInForce inForce(builder);
  inForce.budget->setCurrentOperation(ProgressOperation(1));
  reporter.startProgress();
  reporter.setOperationName("Solve");
  reporter.predictProgress(ProgressFunction(10, 3), 4.0f);
  EXPECT_EQ(reporter.received, "Load");
  float weight = 0.0f, estimate = 0.0f;
  ASSERT_TRUE(reporter.getProgressPrediction(weight, estimate));
  EXPECT_EQ(weight, 0.6f / 3.0f);
  EXPECT_EQ(estimate, 4.0f);
}

TEST(ProgressBudgetBuilder, KeepsTheLastLabelsAndTheFirstWeights) {
  ScriptedBuilder builder;
  builder.operations = [](ScriptedBuilder& b) {
    b.addFunctionToOperation(1, 11, 0.9f);  // before the operation: lost
    b.createOperation(1, "Run");
    b.addFunctionToOperation(1, 10, 0.6f);
    b.createOperation(1, "Run again");  // keeps function 10
    b.createFunction(10, "Old");
  };
  builder.itinerary = [](ScriptedBuilder& b) {
    b.addFunctionToOperation(1, 10, 0.1f);  // the first weight stays
    b.addFunctionToOperation(1, 12, 1.5f);  // unlabelled, not normalised
  };
  BudgetInForce inForce(builder);
  inForce.budget->setCurrentOperation(ProgressOperation(1));
  EXPECT_EQ(ProgressFunction(10).getWeight(), 0.6f);
  EXPECT_EQ(ProgressFunction(10).getLabel(), "Load");
  EXPECT_EQ(ProgressFunction(11).getWeight(), 0.0f);
  EXPECT_EQ(ProgressFunction(12).getWeight(), 1.5f);
}

TEST(ProgressBudgetDirector, EachConstructionPutsAFreshBudgetInForce) {
  auto builder = std::make_unique<ScriptedBuilder>();
  BudgetInForce first(*builder);
  BudgetInForce second(*builder);
  builder.reset();  // the budgets outlive their builder
  ASSERT_NE(first.budget, second.budget);
  first.budget->setCurrentOperation(ProgressOperation(1));
  EXPECT_EQ(ProgressFunction(11).getWeight(), 0.0f);  // second is in force
  EXPECT_EQ(first.budget->getWeightFactor(ProgressFunction(11)), 0.4f);
}

TEST(ProgressBudgetDirector, WorkWithoutBudgetOrBuilderIsRefused) {
  const char* const noBudget =
      "No budget has been created: call createNewBudget() first.";
  ScriptedBuilder builder;
  EXPECT_ZEL_THROW(builder.createOperation(1, "Run"), internal::error,
                   "ProgressBudgetBuilder", "createOperation", noBudget,
                   typeError);
  EXPECT_ZEL_THROW(builder.createFunction(10, "Load"), internal::error,
                   "ProgressBudgetBuilder", "createFunction", noBudget,
                   typeError);
  EXPECT_ZEL_THROW(builder.addFunctionToOperation(1, 10, 0.5f), internal::error,
                   "ProgressBudgetBuilder", "addFunctionToOperation", noBudget,
                   typeError);
  ProgressBudgetDirector director;
  EXPECT_ZEL_THROW(director.constructBudget(), internal::error,
                   "ProgressBudgetDirector", "constructBudget",
                   "No builder has been set: call setBuilder() first.",
                   typeError);
}

}  // namespace
}  // namespace zel
