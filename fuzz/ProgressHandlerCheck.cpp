// Input: a sequence of operations on one named progress handler: pushes and
// pops of arbitrary weights, reports of arbitrary fractions, predictions with
// arbitrary weights and estimates, cancels, bounds, stops and restarts, and
// copies. A model keeps the depth of the stack, the prediction, the bounds and
// whether reporting runs, and predicts every refusal. Back at the top level a
// report must give exactly what the model gives (the fraction itself, limited
// by the bounds): nothing pushed and popped before, however deep, extreme or
// not a number, may have left a trace in the scale. Within sub-operations a
// report of a fraction from 0 to 1 must stay finite as long as the progress
// where they began was.
#include <zel/DataError.h>
#include <zel/InternalError.h>
#include <zel/ProgressHandler.h>

#include <cfloat>
#include <cmath>
#include <iterator>
#include <limits>
#include <vector>

#include "FuzzChecks.h"

namespace zel::fuzz {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
// Values of interest; any other byte reads a raw float.
constexpr float kValues[] = {0.0f,   0.5f,    1.0f,    0.25f,   0.01f,   0.9f,    2.0f,
                             -0.5f,  -0.0f,   1e30f,   1e-30f,  1e38f,   FLT_MAX, FLT_MIN,
                             1e-45f, 1e-40f,  kInf,    -kInf,   -1e30f,  0.1f,    3.0f};

float valueFrom(FuzzInput& input) {
  const std::uint8_t pick = input.byte();
  if (pick == 255) return std::numeric_limits<float>::quiet_NaN();
  return pick < std::size(kValues) ? kValues[pick] : input.raw<float>();
}

bool same(float a, float b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

class Model {
 public:
  Model() {
    m_handler.setOperationName("Solve");
    ZEL_FUZZ_REQUIRE(m_handler.startProgress(), "a new handler starts");
  }

  void push(float weight) {
    m_handler.pushWeight(weight);
    if (m_started) open();
  }

  void pop() {
    bool refused = false;
    try {
      m_handler.popWeight();
    } catch (const internal::overflow&) {
      refused = true;
    }
    ZEL_FUZZ_REQUIRE(refused == (m_started && m_offsets.empty()), "pop refused without a push");
    if (m_started && !refused) m_offsets.pop_back();
  }

  void report(float fraction) {
    const float before = m_handler.getProgress();
    m_handler.setProgress(fraction);
    if (!m_started) {
      ZEL_FUZZ_REQUIRE(same(m_handler.getProgress(), before), "a report while stopped");
      return;
    }
    m_predicting = false;
    const float progress = m_handler.getProgress();
    if (m_offsets.empty()) {
      // The top level: scale 1, offset 0.
      float expected = fraction * 1.0f + 0.0f;
      if (m_bounded) {
        if (!(expected > 0.0f)) expected = 0.0f;
        if (!(m_upperBound > expected)) expected = m_upperBound;
      }
      ZEL_FUZZ_REQUIRE(same(progress, expected), "a report at the top level");
    } else if (std::fabs(fraction) <= 1.0f && std::fabs(m_offsets.back()) <= 1e30f &&
               (!m_bounded || std::isfinite(m_upperBound))) {
      ZEL_FUZZ_REQUIRE(std::isfinite(progress), "a finite report within a sub-operation");
    }
  }

  void predict(bool named, float weight, float estimate) {
    bool refused = false;
    try {
      m_handler.predictProgress(named ? "Step" : "", weight, estimate);
    } catch (const data::invalid&) {
      refused = true;
    }
    ZEL_FUZZ_REQUIRE(refused == !named, "an empty step name refused");
    if (refused) return;
    if (m_started) open();
    if (estimate > 0.0f) {
      m_predicting = true;
      m_weight = std::isfinite(weight) ? weight : 0.0f;
      m_estimate = estimate;
    }
  }

  void cancel() {
    bool refused = false;
    try {
      m_handler.cancelPrediction();
    } catch (const internal::overflow&) {
      refused = true;
    }
    const bool closes = m_predicting && m_started;
    // A prediction made while stopped pushed nothing; its cancel pops anyway.
    ZEL_FUZZ_REQUIRE(refused == (closes && m_offsets.empty()), "a cancel refused");
    m_predicting = false;
    if (closes && !refused) m_offsets.pop_back();
  }

  void bound(bool bounded, float upperBound) {
    m_handler.imposeBounds(bounded, upperBound);
    m_bounded = bounded;
    m_upperBound = upperBound;
  }

  void toggle() {
    if (m_started) {
      m_handler.stopProgress();
      ZEL_FUZZ_REQUIRE(m_handler.startProgress(), "a start after a stop");
      ZEL_FUZZ_REQUIRE(!m_handler.startProgress(), "a second start");
      m_handler.stopProgress();
      bool refused = false;
      try {
        m_handler.stopProgress();
      } catch (const internal::error&) {
        refused = true;
      }
      ZEL_FUZZ_REQUIRE(refused, "a stop while stopped refused");
    } else {
      ZEL_FUZZ_REQUIRE(m_handler.startProgress(), "a start while stopped");
    }
    m_started = !m_started;
  }

  // Starts reporting if it is stopped, then closes every open level.
  void toTop() {
    if (!m_started) toggle();
    while (!m_offsets.empty()) pop();
  }

  // A copy continues exactly where the original was.
  void copy() {
    const ProgressHandler copy(m_handler);
    m_handler = ProgressHandler();
    m_handler = copy;
  }

  void compare() const {
    ZEL_FUZZ_REQUIRE(m_handler.isSubOperation() == !m_offsets.empty(), "a sub-operation open");
    float weight = -1.0f, estimate = -1.0f;
    ZEL_FUZZ_REQUIRE(m_handler.getProgressPrediction(weight, estimate) == m_predicting,
                     "a prediction in force");
    if (m_predicting) {
      ZEL_FUZZ_REQUIRE(same(weight, m_weight) && same(estimate, m_estimate),
                       "the predicted weight and estimate");
      ZEL_FUZZ_REQUIRE(std::isfinite(weight), "a finite predicted weight");
    }
  }

 private:
  void open() { m_offsets.push_back(m_handler.getProgress()); }

  ProgressHandler m_handler;
  std::vector<float> m_offsets;  // the progress at which each open level began
  bool m_started = true;
  bool m_bounded = false;
  float m_upperBound = 0.0f;
  bool m_predicting = false;
  float m_weight = 0.0f;
  float m_estimate = 0.0f;
};

}  // namespace

void checkProgressHandler(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  Model model;
  while (!input.done()) {
    switch (input.byte() % 8) {
      case 0:
      case 1: {
        // Runs of pushes, so that short inputs nest deep.
        const int count = 1 + input.byte() % 64;
        const float weight = valueFrom(input);
        for (int i = 0; i < count; ++i) model.push(weight);
        break;
      }
      case 2: {
        const int count = 1 + input.byte() % 64;
        for (int i = 0; i < count; ++i) model.pop();
        break;
      }
      case 3:
        model.report(valueFrom(input));
        break;
      case 4: {
        const bool named = input.byte() != 0;
        const float weight = valueFrom(input);
        model.predict(named, weight, valueFrom(input));
        break;
      }
      case 5:
        model.cancel();
        break;
      case 6: {
        const std::uint8_t pick = input.byte();
        if (pick % 4 == 0) {
          model.toggle();
        } else if (pick % 4 == 1) {
          model.copy();
        } else {
          model.bound(pick % 4 == 2, valueFrom(input));
        }
        break;
      }
      default:
        // Back to the top level, then a report there.
        model.toTop();
        model.report(valueFrom(input));
        break;
    }
    model.compare();
  }
}

}  // namespace zel::fuzz
