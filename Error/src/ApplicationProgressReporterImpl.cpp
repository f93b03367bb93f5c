#include <zel/ApplicationProgressReporterImpl.h>
#include <zel/ErrorMsg.h>
#include <zel/ErrorReporter.h>
#include <zel/Interrupt.h>
#include <zel/MidOpProcessor.h>
#include <zel/ProgressFunction.h>
#include <zel/SystemMsg.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace zel {

ApplicationProgressReporterImpl::ApplicationProgressReporterImpl()
    : m_aborted(false), m_softAbort(false) {}

ApplicationProgressReporterImpl::ApplicationProgressReporterImpl(
    const ApplicationProgressReporterImpl& other) = default;

// The progress state is copied (the handler has no move); the processors and
// the text go over to the new reporter and leave the source without them.
ApplicationProgressReporterImpl::ApplicationProgressReporterImpl(
    ApplicationProgressReporterImpl&& other)
    : ProgressReporterImpl(other),
      m_handler(other.m_handler),
      m_processors(std::move(other.m_processors)),
      m_animationProgress(std::move(other.m_animationProgress)),
      m_aborted(other.m_aborted),
      m_softAbort(other.m_softAbort) {
  other.m_processors.clear();
  other.m_animationProgress.clear();
}

ApplicationProgressReporterImpl& ApplicationProgressReporterImpl::operator=(
    const ApplicationProgressReporterImpl& other) {
  ProgressReporterImpl::operator=(other);
  m_handler = other.m_handler;
  if (this != &other) {
    m_processors = other.m_processors;
    m_animationProgress = other.m_animationProgress;
  }
  m_aborted = other.m_aborted;
  m_softAbort = other.m_softAbort;
  return *this;
}

ApplicationProgressReporterImpl& ApplicationProgressReporterImpl::operator=(
    ApplicationProgressReporterImpl&& other) {
  ProgressReporterImpl::operator=(other);
  m_handler = other.m_handler;
  if (this != &other) {
    m_processors.clear();
    m_processors.swap(other.m_processors);
    m_animationProgress = std::move(other.m_animationProgress);
    other.m_animationProgress.clear();
  }
  m_aborted = other.m_aborted;
  m_softAbort = other.m_softAbort;
  return *this;
}

// Processors belong to the application: neither called nor deleted here.
ApplicationProgressReporterImpl::~ApplicationProgressReporterImpl() = default;

void ApplicationProgressReporterImpl::reportProgress(float progress) {
  // A value that is not a number fails both comparisons and passes silently.
  if (progress < 0.0f || progress > 1.0f) {
    ErrorReporter::instance()->reportError(ErrorMsg(
        "ApplicationProgressReporterImpl", "reportProgress",
        SystemMsg("Progress report should be between 0 and 1. It is %1.")
            .arg(progress)
            .str(),
        typeWarning));
  }
  // Applied all the same; bounds, if imposed, are the handler's business.
  m_handler.setProgress(progress);
  yieldControl();
}

void ApplicationProgressReporterImpl::setOperationName(
    std::string const& name) {
  m_handler.setOperationName(name);
}

void ApplicationProgressReporterImpl::pushWeight(float weight) {
  m_handler.pushWeight(weight);
}

void ApplicationProgressReporterImpl::popWeight() { m_handler.popWeight(); }

bool ApplicationProgressReporterImpl::startProgress() {
  return m_handler.startProgress();
}

void ApplicationProgressReporterImpl::stopProgress() {
  m_handler.stopProgress();
}

void ApplicationProgressReporterImpl::setAnimationProgress(
    std::string const& text) {
  m_animationProgress = text;
}

void ApplicationProgressReporterImpl::predictProgress(
    ProgressFunction const& function, float estimate) {
  // Through the virtual overload, so that a derived reporter that overrides
  // it sees predictions made with functions too.
  predictProgress(function.getLabel(), function.getWeight(), estimate);
}

void ApplicationProgressReporterImpl::predictProgress(std::string const& name,
                                                      float weight,
                                                      float estimate) {
  // A step without weight or without an estimate predicts nothing; the
  // processors still get their turn. A weight that is not a finite number
  // counts as 0, as it does in the handler.
  if (weight > 0.0f && std::isfinite(weight) && estimate > 0.0f) {
    m_handler.predictProgress(name, weight, estimate);
  }
  yieldControl();
}

void ApplicationProgressReporterImpl::cancelPrediction() {
  m_handler.cancelPrediction();
  yieldControl();
}

float ApplicationProgressReporterImpl::getProgress() const {
  return m_handler.getProgress();
}

bool ApplicationProgressReporterImpl::getProgressPrediction(
    float& weight, float& estimate) const {
  return m_handler.getProgressPrediction(weight, estimate);
}

std::string const& ApplicationProgressReporterImpl::getOperationName() const {
  return m_handler.getOperationName();
}

std::string const& ApplicationProgressReporterImpl::getAnimationProgress() {
  return m_animationProgress;
}

// A null processor could never be called; it is ignored rather than kept.
void ApplicationProgressReporterImpl::registerMidOpProcessor(
    MidOpProcessor* processor) {
  if (processor != nullptr) m_processors.insert(processor);
}

void ApplicationProgressReporterImpl::unregisterMidOpProcessor(
    MidOpProcessor* processor) {
  m_processors.erase(processor);
}

bool ApplicationProgressReporterImpl::isAborted() const { return m_aborted; }

void ApplicationProgressReporterImpl::setSoftAbortMode(bool soft) {
  m_softAbort = soft;
  m_aborted = false;
}

void ApplicationProgressReporterImpl::imposeBounds(bool bounded,
                                                   float upperBound) {
  m_handler.imposeBounds(bounded, upperBound);
}

void ApplicationProgressReporterImpl::yieldControl() {
  // A processor may register or unregister processors (itself included)
  // while it runs. The visit therefore walks the processors registered when
  // it began, in address order, and skips one unregistered since then, which
  // may already be destroyed; one registered during the visit is first called
  // at the next yield. The list of those to visit stays on the stack for the
  // usual handful of processors, so a report allocates nothing.
  constexpr std::size_t kOnStack = 8;
  MidOpProcessor* onStack[kOnStack];
  std::vector<MidOpProcessor*> onHeap;
  MidOpProcessor** visiting = onStack;
  if (m_processors.size() > kOnStack) {
    onHeap.assign(m_processors.begin(), m_processors.end());
    visiting = onHeap.data();
  } else {
    std::copy(m_processors.begin(), m_processors.end(), onStack);
  }
  const std::size_t count = m_processors.size();
  for (std::size_t i = 0; i < count; ++i) {
    MidOpProcessor* processor = visiting[i];
    if (m_processors.count(processor) == 0) continue;
    if (processor->process() != 1) continue;
    if (!m_softAbort) {
      throw Interrupt("ApplicationProgressReporterImpl", "yieldControl",
                      SystemMsg("Operation interrupted.").str(), typeInterrupt);
    }
    m_aborted = true;
  }
}

}  // namespace zel
