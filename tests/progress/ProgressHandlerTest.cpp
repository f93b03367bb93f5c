#include <gtest/gtest.h>
#include <zel/DataError.h>
#include <zel/InternalError.h>
#include <zel/ProgressHandler.h>

#include <limits>

#include "TestSupport.h"

namespace zel {
namespace {

// Reporting started and the operation named, as working code sets it up.
ProgressHandler namedHandler() {
  ProgressHandler handler;
  handler.startProgress();
  handler.setOperationName("Solve");
  return handler;
}

TEST(ProgressHandler, MapsProgressThroughNestedWeightsInSinglePrecision) {
  const float inner = 0.5f * 0.4f + 0.5f;  // 0.7, where the nested one opens
  const float nested = 1.0f * (0.4f * 0.5f) + inner;  // 0.9
  struct Step {
    char action;
    float value, progress;
    bool sub;
  };
  const Step steps[] = {{'=', 0.5f, 0.5f, false},
                        {'+', 0.4f, 0.5f, true},
                        {'=', 0.5f, inner, true},
                        {'+', 0.5f, inner, true},
                        {'=', 1.0f, nested, true},
                        {'-', 0.0f, nested, true},
                        {'=', 1.0f, 1.0f * 0.4f + 0.5f, true},
                        {'-', 0.0f, 1.0f * 0.4f + 0.5f, false},
                        {'=', 0.25f, 0.25f, false}};
  ProgressHandler handler = namedHandler();
  for (const Step& step : steps) {
    SCOPED_TRACE(::testing::Message() << step.action << step.value);
    if (step.action == '=') handler.setProgress(step.value);
    if (step.action == '+') handler.pushWeight(step.value);
    if (step.action == '-') handler.popWeight();
    EXPECT_EQ(handler.getProgress(), step.progress);
    EXPECT_EQ(handler.isSubOperation(), step.sub);
  }
  // Closing a zero weight restores the enclosing scale, not a NaN.
  handler.pushWeight(0.5f);
  handler.pushWeight(0.0f);
  handler.popWeight();
  handler.setProgress(1.0f);
  EXPECT_EQ(handler.getProgress(), 1.0f * 0.5f + 0.25f);
}

TEST(ProgressHandler, BoundsLimitTheNextReportAndTurnNotANumberIntoZero) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    bool bounded;
    float report, progress;
  };
  for (const Case& c :
       {Case{true, 0.9f, 0.8f}, Case{true, -0.2f, 0.0f}, Case{true, nan, 0.0f},
        Case{false, 0.9f, 0.9f}, Case{false, -0.2f, -0.2f}}) {
    SCOPED_TRACE(::testing::Message() << c.bounded << " " << c.report);
    ProgressHandler handler = namedHandler();
    handler.setProgress(0.95f);
    handler.imposeBounds(c.bounded, 0.8f);
    EXPECT_EQ(handler.getProgress(), 0.95f);
    handler.setProgress(c.report);
    EXPECT_EQ(handler.getProgress(), c.progress);
  }
}

TEST(ProgressHandler, CancelCompletesThePredictedStepUnlessAReportEndedIt) {
  ProgressHandler handler = namedHandler();
  handler.setProgress(0.2f);
  handler.predictProgress("Step", 0.5f, 10.0f);
  float weight = 0.0f, estimate = 0.0f;
  ASSERT_TRUE(handler.getProgressPrediction(weight, estimate));
  EXPECT_EQ(weight, 0.5f);
  EXPECT_EQ(estimate, 10.0f);
  EXPECT_EQ(handler.getOperationName(), "Step");
  EXPECT_TRUE(handler.isSubOperation());
  handler.cancelPrediction();
  EXPECT_EQ(handler.getProgress(), 1.0f * 0.5f + 0.2f);  // 0.7
  EXPECT_FALSE(handler.isSubOperation());
  EXPECT_FALSE(handler.getProgressPrediction(weight, estimate));

  handler.predictProgress("Step", 0.5f, 0.0f);  // no estimate: opens only
  EXPECT_FALSE(handler.getProgressPrediction(weight, estimate));
  handler.predictProgress("Step", 0.5f, 10.0f);
  handler.setProgress(0.5f);
  const float reported = handler.getProgress();
  EXPECT_FALSE(handler.getProgressPrediction(weight, estimate));
  handler.cancelPrediction();
  EXPECT_EQ(handler.getProgress(), reported);
  EXPECT_TRUE(handler.isSubOperation());
}

TEST(ProgressHandler, DoesNothingWhileStoppedAndContinuesAfterARestart) {
  ProgressHandler handler;
  handler.setProgress(0.5f);  // no name and nothing pushed: no throw either
  handler.pushWeight(0.5f);
  handler.popWeight();
  EXPECT_EQ(handler.getProgress(), 0.0f);
  EXPECT_FALSE(handler.isSubOperation());
  EXPECT_TRUE(handler.startProgress());
  EXPECT_FALSE(handler.startProgress());
  handler.setOperationName("Solve");
  handler.pushWeight(0.5f);
  handler.stopProgress();
  handler.setProgress(1.0f);
  EXPECT_EQ(handler.getProgress(), 0.0f);
  handler.startProgress();
  handler.setProgress(1.0f);
  EXPECT_EQ(handler.getProgress(), 0.5f);
  ProgressHandler copy(handler);  // continues with its own stacks
  copy.popWeight();
  copy.setProgress(0.25f);
  handler.setProgress(0.25f);
  EXPECT_EQ(copy.getProgress(), 0.25f);
  EXPECT_EQ(handler.getProgress(), 0.125f);
  EXPECT_TRUE(handler.isSubOperation());
}

TEST(ProgressHandler, MisuseThrowsWithClassMethodAndExactMessage) {
  const char* const noName = "Variable '' does not exist.";
  ProgressHandler handler;
  EXPECT_ZEL_THROW(handler.setOperationName(""), data::invalid,
                   "ProgressHandler", "setOperationName",
                   "Parameter '' does not exist.", typeError);
  EXPECT_ZEL_THROW(handler.predictProgress("Step", 0.5f, 1.0f),
                   internal::badParam, "ProgressHandler", "setProgress", noName,
                   typeError);
  handler.startProgress();
  EXPECT_ZEL_THROW(handler.pushWeight(0.5f), internal::badParam,
                   "ProgressHandler", "pushWeight", noName, typeError);
  EXPECT_ZEL_THROW(handler.setProgress(0.5f), internal::badParam,
                   "ProgressHandler", "setProgress", noName, typeError);
  EXPECT_ZEL_THROW(
      handler.popWeight(), internal::overflow, "ProgressHandler", "popWeight",
      "Unbalanced stack operation. Pop without a push.", typeError);
  handler.setOperationName("Solve");
  handler.stopProgress();
  EXPECT_ZEL_THROW(handler.stopProgress(), internal::error, "ProgressHandler",
                   "startProgress",
                   "Request to stop progress reporting already stopped.  "
                   "Current operation name Solve.",
                   typeError);
  EXPECT_FALSE(handler.isSubOperation());
  EXPECT_EQ(handler.getProgress(), 0.0f);
}

}  // namespace
}  // namespace zel
