// Progress reporting: the handler's arithmetic, the application reporter's yields to its
// processors, and budgets with their builder and director.
#include <gtest/gtest.h>
#include <zel/ZELError.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "RecordingErrorReporter.h"
#include "TestSupport.h"

namespace zel {
namespace {

TEST(ProgressHandler, MapsReportsThroughWeightsBoundsAndPredictionsOnlyWhileRunning) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float outer = 0.5f * 0.4f + 0.5f;             // 0.7
  const float nested = 1.0f * (0.4f * 0.5f) + outer;  // 0.9
  const float closed = 1.0f * 0.4f + 0.5f;            // 0.9 once more
  const float predicted = 1.0f * 0.5f + 0.2f;         // 0.7
  // '=' setProgress, '+' pushWeight, '-' popWeight, 's' startProgress, 'b'/'u' imposeBounds
  // (true/false, value), 'p' predictProgress("Step", 0.5, value), 'c' cancelPrediction;
  // then the progress and whether a sub-operation is open. A prediction is in force from
  // a 'p' until the next step.
  const struct {
    char action;
    float value, progress;
    bool sub;
  } steps[] = {
    // Stopped: nothing changes and nothing throws, not even a pop without a push. Then the
    // worked example.
    {'=', 0.2f, 0.0f, 0},   {'+', 0.5f, 0.0f, 0},   {'-', 0.0f, 0.0f, 0},   {'s', 0.0f, 0.0f, 0},
    {'=', 0.5f, 0.5f, 0},   {'+', 0.4f, 0.5f, 1},   {'=', 0.5f, outer, 1},  {'+', 0.5f, outer, 1},
    {'=', 1.0f, nested, 1}, {'-', 0.0f, nested, 1}, {'=', 1.0f, closed, 1}, {'-', 0.0f, closed, 0},
    // Bounds limit the next report only, and turn what is not a number into 0; closing a
    // zero weight leaves a scale that is a number; cancelling completes the predicted step.
    {'b', 0.8f, closed, 0}, {'=', 0.9f, 0.8f, 0},   {'=', -0.2f, 0.0f, 0},  {'=', nan, 0.0f, 0},
    {'u', 0.8f, 0.0f, 0},   {'=', 0.9f, 0.9f, 0},   {'=', -0.2f, -0.2f, 0}, {'+', 0.0f, -0.2f, 1},
    {'-', 0.0f, -0.2f, 0},  {'=', 0.2f, 0.2f, 0},   {'p', 10.0f, 0.2f, 1},
    {'c', 0.0f, predicted, 0}, {'p', 10.0f, predicted, 1}};
  ProgressHandler handler;
  handler.setOperationName("Solve");
  float weight = 0.0f, estimate = 0.0f;
  for (const auto& step : steps) {
    SCOPED_TRACE(&step - steps);
    if (step.action == '=') handler.setProgress(step.value);
    if (step.action == '+') handler.pushWeight(step.value);
    if (step.action == '-') handler.popWeight();
    if (step.action == 's') handler.startProgress();
    if (step.action == 'b') handler.imposeBounds(true, step.value);
    if (step.action == 'u') handler.imposeBounds(false, step.value);
    if (step.action == 'p') handler.predictProgress("Step", 0.5f, step.value);
    if (step.action == 'c') handler.cancelPrediction();
    EXPECT_EQ(handler.getProgress(), step.progress);
    EXPECT_EQ(handler.isSubOperation(), step.sub);
    EXPECT_EQ(handler.getProgressPrediction(weight, estimate), step.action == 'p');
  }
  EXPECT_EQ(std::tuple(handler.getOperationName(), weight, estimate),
            std::tuple("Step", 0.5f, 10.0f));
  ProgressHandler copy(handler);  // continues with stacks of its own
  copy.popWeight();
  handler.setProgress(0.5f);
  EXPECT_EQ(std::tuple(copy.isSubOperation(), handler.isSubOperation(), handler.getProgress()),
            std::tuple(false, true, 0.5f * 0.5f + predicted));
}

TEST(ProgressHandler, NoWeightPoisonsTheScaleOnceItIsPoppedAgain) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    const char* name;
    std::vector<float> weights;
  } cases[] = {
      {"not a number", {nan}},
      {"infinite", {inf}},
      {"minus infinite", {0.5f, -inf}},
      {"product beyond the range", {1e30f, 1e30f}},
      {"0.5, 200 levels", std::vector<float>(200, 0.5f)},
      {"0.01, 30 levels", std::vector<float>(30, 0.01f)},
      {"0.9, 10000 levels", std::vector<float>(10000, 0.9f)},
      {"0 within", {0.5f, 0.0f, 0.25f}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProgressHandler handler;
    handler.setOperationName("Solve");
    handler.startProgress();
    bool finite = true;
    for (const float weight : c.weights) {
      handler.pushWeight(weight);
      handler.setProgress(0.5f);
      finite = finite && std::isfinite(handler.getProgress());
    }
    EXPECT_TRUE(finite);
    for (std::size_t i = 0; i < c.weights.size(); ++i) handler.popWeight();
    handler.setProgress(0.5f);
    EXPECT_EQ(handler.getProgress(), 0.5f);
    handler.setProgress(1.0f);
    EXPECT_EQ(handler.getProgress(), 1.0f);
  }
  // Within the nesting too, the scale comes back exactly once the product is
  // representable again: 2^-200 underflows, 2^-10 does not.
  ProgressHandler handler;
  handler.setOperationName("Solve");
  handler.startProgress();
  for (int i = 0; i < 200; ++i) handler.pushWeight(0.5f);
  for (int i = 0; i < 190; ++i) handler.popWeight();
  handler.setProgress(1.0f);
  EXPECT_EQ(handler.getProgress(), std::ldexp(1.0f, -10));
  // A weight that is not a finite number counts as 0: the step moves nothing,
  // and a prediction hands 0 back as its weight.
  handler.setProgress(0.25f);
  handler.predictProgress("Step", inf, 3.0f);
  float weight = -1.0f, estimate = -1.0f;
  EXPECT_TRUE(handler.getProgressPrediction(weight, estimate));
  EXPECT_EQ(std::tuple(weight, estimate), std::tuple(0.0f, 3.0f));
  handler.cancelPrediction();
  EXPECT_EQ(handler.getProgress(), 0.25f * std::ldexp(1.0f, -10));
}

TEST(NullProgressReporter, AcceptsEveryCallInAnyOrderAndSharesOneEmptyName) {
  NullProgressReporterImpl& shared = NullProgressReporterImpl::processWide();
  NullProgressReporterImpl own;
  own.stopProgress();
  own.popWeight();
  own.reportProgress(7.0f);
  own.predictProgress("", -1.0f, 0.0f);
  own.cancelPrediction();
  float weight = 0.25f, estimate = 3.0f;
  EXPECT_TRUE(own.startProgress() && own.startProgress());
  EXPECT_TRUE(own.getProgressPrediction(weight, estimate));
  EXPECT_EQ(std::make_tuple(weight, estimate, own.getProgress(), own.isAborted()),
            std::make_tuple(0.25f, 3.0f, 0.0f, false));
  EXPECT_EQ(&own.getOperationName(), &shared.getAnimationProgress());
  EXPECT_EQ(static_cast<ProgressReporting*>(&own), static_cast<ProgressReporterImpl*>(&own));
}

TEST(ProgressHandler, MisuseThrowsWithClassMethodAndExactMessage) {
  const char* const noName = "Variable '' does not exist.";
  ProgressHandler handler;
  EXPECT_ZEL_THROW(handler.setOperationName(""), data::invalid, "ProgressHandler",
                   "setOperationName", "Parameter '' does not exist.", typeError);
  EXPECT_ZEL_THROW(handler.predictProgress("Step", 0.5f, 1.0f), internal::badParam,
                   "ProgressHandler", "setProgress", noName, typeError);
  handler.startProgress();
  EXPECT_ZEL_THROW(handler.pushWeight(0.5f), internal::badParam, "ProgressHandler",
                   "pushWeight", noName, typeError);
  EXPECT_ZEL_THROW(handler.setProgress(0.5f), internal::badParam, "ProgressHandler",
                   "setProgress", noName, typeError);
  EXPECT_ZEL_THROW(handler.popWeight(), internal::overflow, "ProgressHandler", "popWeight",
                   "Unbalanced stack operation. Pop without a push.", typeError);
  handler.setOperationName("Solve");
  handler.stopProgress();
  EXPECT_ZEL_THROW(handler.stopProgress(), internal::error, "ProgressHandler", "startProgress",
                   "Request to stop progress reporting already stopped.  "
                   "Current operation name Solve.",
                   typeError);
}

// Counts its calls, and answers what `action` answers (1 asks to interrupt).
struct CountingProcessor : MidOpProcessor {
  int process() override {
    ++calls;
    return action ? action() : 0;
  }
  int calls = 0;
  std::function<int()> action;
};

// A reporter started and named Solve after its two processors were registered, so that
// the tests count those calls too (neither may call a processor). `first` has the lower
// address, so each visit calls it first.
class ApplicationProgressReporter : public ::testing::Test {
 protected:
  ApplicationProgressReporter() {
    for (CountingProcessor* p : {&first, &second}) reporter.registerMidOpProcessor(p);
    reporter.startProgress();
    reporter.setOperationName("Solve");
  }
  std::pair<int, int> calls() const { return {first.calls, second.calls}; }
  CountingProcessor first, second;
  ApplicationProgressReporterImpl reporter;
};

TEST_F(ApplicationProgressReporter, AStepWeightThatIsNotFinitePredictsNothingAndPoisonsNothing) {
  reporter.reportProgress(0.25f);
  for (const float weight : {std::numeric_limits<float>::infinity(),
                             std::numeric_limits<float>::quiet_NaN()}) {
    SCOPED_TRACE(weight);
    reporter.predictProgress("Step", weight, 1.0f);
    float w = 0.0f, e = 0.0f;
    EXPECT_FALSE(reporter.getProgressPrediction(w, e));
    reporter.cancelPrediction();
    EXPECT_EQ(reporter.getOperationName(), "Solve");
    for (const float p : {0.5f, 1.0f}) {
      reporter.reportProgress(p);
      EXPECT_EQ(reporter.getProgress(), p);
    }
  }
}

TEST_F(ApplicationProgressReporter, OnlyReportsAndPredictionsYieldAndOutOfRangeIsWarned) {
  test::RecordingErrorReporter errors;
  test::ScopedErrorReporter installed(errors);
  reporter.pushWeight(0.5f);
  reporter.popWeight();
  reporter.imposeBounds(false, 1.0f);
  // Without a weight or an estimate a prediction neither names nor pushes.
  reporter.predictProgress("Step", 0.0f, 10.0f);
  reporter.predictProgress("Step", 0.5f, 0.0f);
  for (const float p : {0.0f, 1.0f, 1.5f}) reporter.reportProgress(p);  // 1.5 is still applied
  reporter.stopProgress();
  EXPECT_EQ(std::tuple(reporter.getOperationName(), reporter.getProgress(), calls()),
            std::tuple("Solve", 1.5f, std::pair(5, 5)));
  ASSERT_EQ(errors.records().size(), 1u);
  EXPECT_EQ(errors.records()[0].message(), "Progress report should be between 0 and 1. It is 1.5.");
  EXPECT_EQ(errors.records()[0].type(), typeWarning);
}

TEST_F(ApplicationProgressReporter, InterruptIsThrownOrInSoftModeRecorded) {
  first.action = [] { return 1; };
  EXPECT_ZEL_THROW(reporter.reportProgress(0.5f), Interrupt, "ApplicationProgressReporterImpl",
                   "yieldControl", "Operation interrupted.", typeInterrupt);
  reporter.setSoftAbortMode(true);
  reporter.cancelPrediction();
  EXPECT_EQ(std::tuple(calls(), reporter.isAborted()), std::tuple(std::pair(2, 1), true));
  reporter.setSoftAbortMode(true);
  EXPECT_FALSE(reporter.isAborted());
}

TEST_F(ApplicationProgressReporter, ProcessorsMayRegisterAndUnregisterInProcess) {
  CountingProcessor late;
  first.action = [&] {  // drops `second` and adds `late`: neither is called this visit
    reporter.unregisterMidOpProcessor(&second);
    reporter.registerMidOpProcessor(&late);
    return 0;
  };
  reporter.reportProgress(0.5f);
  reporter.reportProgress(0.5f);
  EXPECT_EQ(std::tuple(calls(), late.calls), std::tuple(std::pair(2, 0), 1));
}

TEST_F(ApplicationProgressReporter, MoveLeavesTheSourceWithoutProcessorsAndText) {
  reporter.setAnimationProgress("spinning");
  ApplicationProgressReporterImpl moved(std::move(reporter));
  reporter.reportProgress(0.5f);  // still named and running: no throw
  EXPECT_EQ(std::tuple(calls(), reporter.getAnimationProgress(), moved.getAnimationProgress()),
            std::tuple(std::pair(0, 0), "", "spinning"));
}

// Builds operation 1 (Run) listing function 10 (Load) with 0.6 and function 11 (Compute)
// with 0.4, through calls that must change nothing: an addition to operation 2, which is
// never created, a second label for operation 1 and for function 10, a second weight.
struct ExampleBuilder : ProgressBudgetBuilder {
  void buildOperations() override {
    createOperation(1, "Runs");
    addFunctionToOperation(2, 10, 0.5f);
    addFunctionToOperation(1, 10, 0.6f);
    createOperation(1, "Run");
  }
  void buildFunctions() override {
    createFunction(10, "Old");
    createFunction(10, "Load");
    createFunction(11, "Compute");
  }
  void buildItinerary() override {
    addFunctionToOperation(1, 10, 0.1f);
    addFunctionToOperation(1, 11, 0.4f);
  }
};

// Passes a function's prediction on through the other, overridable, overload.
struct PredictionRecorder : ApplicationProgressReporterImpl {
  using ApplicationProgressReporterImpl::predictProgress;
  void predictProgress(std::string const& name, float weight, float estimate) override {
    received = {name, weight, estimate};
  }
  std::tuple<std::string, float, float> received;
};

TEST(ProgressBudget, IsRefusedUntilSetUpThenWeighsEachRunOfAFunctionInTheCurrentOperation) {
  const char* const noBudget = "No budget has been created: call createNewBudget() first.";
  ExampleBuilder builder;  // its steps need the budget that createNewBudget() makes
  EXPECT_ZEL_THROW(builder.buildOperations(), internal::error, "ProgressBudgetBuilder",
                   "createOperation", noBudget, typeError);
  EXPECT_ZEL_THROW(builder.buildFunctions(), internal::error, "ProgressBudgetBuilder",
                   "createFunction", noBudget, typeError);
  EXPECT_ZEL_THROW(builder.buildItinerary(), internal::error, "ProgressBudgetBuilder",
                   "addFunctionToOperation", noBudget, typeError);
  ProgressBudgetDirector director;
  EXPECT_ZEL_THROW(director.constructBudget(), internal::error, "ProgressBudgetDirector",
                   "constructBudget", "No builder has been set: call setBuilder() first.",
                   typeError);
  const ProgressFunction load(10, 3), compute(11);
  EXPECT_EQ(std::tuple(load.getLabel(), load.getWeight()), std::tuple("", 0.0f));  // no budget
  director.setBuilder(&builder);
  const std::unique_ptr<ProgressBudget> budget(director.constructBudget());
  budget->setCurrentOperation(ProgressOperation(1));
  EXPECT_EQ(std::tuple(load.getLabel(), load.getWeight()), std::tuple("Load", 0.6f / 3.0f));
  EXPECT_EQ(std::tuple(compute.getLabel(), compute.getWeight()), std::tuple("Compute", 0.4f));
  ProgressFunction zero(10, 3), negative(10, 3);  // counts below 1 are taken as 1
  zero.setNumReentries(0);
  negative.setNumReentries(-5);
  EXPECT_EQ(std::tuple(zero.getWeight(), negative.getWeight(), ProgressFunction(10, 0).getWeight()),
            std::tuple(0.6f, 0.6f, 0.6f));
  PredictionRecorder reporter;
  reporter.predictProgress(load, 4.0f);
  EXPECT_EQ(reporter.received, std::tuple("Load", 0.6f / 3.0f, 4.0f));
  // Each construction makes a fresh budget and puts it in force; the first stays valid.
  const std::unique_ptr<ProgressBudget> second(director.constructBudget());
  second->setCurrentOperation(ProgressOperation(2));
  EXPECT_EQ(std::tuple(load.getLabel(), load.getWeight()), std::tuple("Load", 0.0f));
  EXPECT_EQ(budget->getWeightFactor(load), 0.6f);
  ProgressFunction::setBudget(nullptr);
}

}  // namespace
}  // namespace zel
