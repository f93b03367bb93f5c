#include <zel/DataError.h>
#include <zel/InternalError.h>
#include <zel/ProgressHandler.h>
#include <zel/SystemMsg.h>

namespace zel {
namespace {

const char kClassName[] = "ProgressHandler";

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
  m_weights.push_back(weight);
  m_offsets.push_back(m_progress);
  m_scale = m_scale * weight;
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
  if (closed != 0.0f) {
    // Undo the push exactly as it was made.
    m_scale = m_scale / closed;
  } else {
    // Dividing by the zero weight would leave the scale not a number for
    // good; the remaining weights, multiplied in the order they were pushed,
    // give the scale they stand for.
    m_scale = 1.0f;
    for (const float weight : m_weights) m_scale = m_scale * weight;
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
    m_predictedWeight = weight;
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
