#include <zel/DataError.h>
#include <zel/InternalError.h>
#include <zel/ProgressHandler.h>
#include <zel/SystemMsg.h>

#include <cfloat>
#include <cmath>

namespace zel {
namespace {

const char kClassName[] = "ProgressHandler";

// A weight that is not a finite number counts as 0: it cannot be multiplied
// into the scale and divided out again, and a step worth nothing is the one
// reading of it that cannot move the progress anywhere absurd.
float usableWeight(float weight) { return std::isfinite(weight) ? weight : 0.0f; }

// The product of two scale factors, held within the normal float range: a
// product beyond it stays at the largest finite value of its sign, so that the
// scale never becomes infinite (and 0 times it never becomes not a number); a
// product below it (a sub-operation worth less than 1e-38 of the whole)
// counts as 0, which it all but is, rather than as a subnormal value that has
// lost its precision and makes every later multiplication slow.
float saturatedProduct(float a, float b) {
  const float product = a * b;
  if (std::isnormal(product)) {
    if (std::fabs(product) < FLT_MAX) return product;
  } else if (!std::isinf(product)) {
    return 0.0f;  // 0, subnormal (or, from a caller's 0 × FLT_MAX, still 0)
  }
  return std::signbit(product) ? -FLT_MAX : FLT_MAX;
}

// Whether a scale is the exact product it stands for, so that dividing a
// weight out of it gives back the scale from before that weight: a value
// that saturated or underflowed has lost that.
bool exactScale(float scale) { return std::isnormal(scale) && std::fabs(scale) < FLT_MAX; }

// "Variable '' does not exist.": reporting runs, but nothing was named.
std::string missingNameText(const std::string& name) {
  return SystemMsg("%1 '%2' does not exist.").arg("Variable").arg(name).str();
}

}  // namespace

// The upper bound is read only while bounded and always set with the flag;
// 1.0 merely keeps the member defined before that.
ProgressHandler::ProgressHandler()
    : m_progress(0.0f),
      m_upperBound(1.0f),
      m_offsets(1, 0.0f),
      m_scale(1.0f),
      m_subOperation(false),
      m_started(false),
      m_bounded(false),
      m_predicting(false),
      m_predictedWeight(0.0f),
      m_predictedEstimate(0.0f) {}

ProgressHandler::ProgressHandler(const ProgressHandler& other) = default;
ProgressHandler& ProgressHandler::operator=(const ProgressHandler& other) =
    default;
ProgressHandler::~ProgressHandler() = default;

bool ProgressHandler::startProgress() {
  if (m_started) return false;
  // Nothing else is reset: a restart continues where reporting stopped.
  m_started = true;
  return true;
}

void ProgressHandler::stopProgress() {
  if (!m_started) {
    // Named after the operation the caller should have paired this with.
    throw internal::error(
        kClassName, "startProgress",
        SystemMsg("Request to stop progress reporting already stopped.  "
                  "Current operation name %1.")
            .arg(m_operationName)
            .str(),
        typeError);
  }
  m_started = false;
}

void ProgressHandler::setOperationName(std::string const& name) {
  if (name.empty()) {
    throw data::invalid(
        kClassName, "setOperationName",
        SystemMsg("%1 '%2' does not exist.").arg("Parameter").arg(name).str(),
        typeError);
  }
  m_operationName = name;
}

std::string const& ProgressHandler::getOperationName() const {
  return m_operationName;
}

void ProgressHandler::pushWeight(float weight) {
  if (!m_started) return;
  if (m_operationName.empty()) {
    throw internal::badParam(kClassName, "pushWeight",
                             missingNameText(m_operationName), typeError);
  }
  const float usable = usableWeight(weight);
  m_weights.push_back(usable);
  m_offsets.push_back(m_progress);
  m_scale = saturatedProduct(m_scale, usable);
  m_subOperation = true;
}

void ProgressHandler::popWeight() {
  if (!m_started) return;
  if (m_weights.empty()) {
    throw internal::overflow(kClassName, "popWeight",
                             SystemMsg("Unbalanced stack operation. Pop "
                                       "without a push.")
                                 .str(),
                             typeError);
  }
  const float closed = m_weights.back();
  m_weights.pop_back();
  m_offsets.pop_back();
  // Undo the push by dividing the weight out, where the division can do so:
  // a weight of 0 (0 ÷ 0), a scale that saturated or underflowed while deeper
  // levels were open, or a quotient that is not finite or is 0 would poison
  // the scale for good. The remaining weights, multiplied again in the order
  // they were pushed, then give the scale they stand for; with none left it is
  // exactly 1, however far the nesting went.
  const float divided = exactScale(m_scale) ? m_scale / closed : 0.0f;
  if (m_weights.empty()) {
    m_scale = 1.0f;
  } else if (exactScale(divided)) {
    m_scale = divided;
  } else {
    // Once the product is 0 it stays 0: the rest need not be multiplied.
    m_scale = 1.0f;
    for (auto weight = m_weights.begin(); weight != m_weights.end() && m_scale != 0.0f; ++weight) {
      m_scale = saturatedProduct(m_scale, *weight);
    }
  }
  if (m_weights.empty()) m_subOperation = false;
}

void ProgressHandler::setProgress(float progress) {
  if (!m_started) return;
  // Any report ends the predicted step: the caller now reports it itself.
  m_predicting = false;
  if (m_operationName.empty()) {
    throw internal::badParam(kClassName, "setProgress",
                             missingNameText(m_operationName), typeError);
  }
  // Multiplied first, then offset: the order the results are defined by.
  const float scaled = progress * m_scale;
  float value = scaled + m_offsets.back();
  m_progress = value;
  if (m_bounded) {
    // Written as "not greater than" so that a value that is not a number
    // becomes 0.0 and a value equal to the bound stays the bound.
    if (!(value > 0.0f)) value = 0.0f;
    if (!(m_upperBound > value)) value = m_upperBound;
    m_progress = value;
  }
}

float ProgressHandler::getProgress() const { return m_progress; }

void ProgressHandler::imposeBounds(bool bounded, float upperBound) {
  m_bounded = bounded;
  m_upperBound = upperBound;
}

void ProgressHandler::predictProgress(std::string const& name, float weight,
                                      float estimate) {
  // The step belongs to a named operation, whether or not reporting runs.
  if (m_operationName.empty()) {
    throw internal::badParam(kClassName, "setProgress",
                             missingNameText(m_operationName), typeError);
  }
  setOperationName(name);
  pushWeight(weight);
  if (estimate > 0.0f) {
    m_predictedWeight = usableWeight(weight);
    m_predictedEstimate = estimate;
    m_predicting = true;
  }
}

void ProgressHandler::cancelPrediction() {
  if (!m_predicting) return;
  m_predicting = false;
  // The predicted step is complete: move to the end of its sub-operation,
  // then close it.
  setProgress(1.0f);
  popWeight();
}

bool ProgressHandler::getProgressPrediction(float& weight,
                                            float& estimate) const {
  if (!m_predicting) return false;
  weight = m_predictedWeight;
  estimate = m_predictedEstimate;
  return true;
}

bool ProgressHandler::isSubOperation() const { return m_subOperation; }

}  // namespace zel
