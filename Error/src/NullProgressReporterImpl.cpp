#include <zel/NullProgressReporterImpl.h>

// Turns a lost constant initialisation into a compile error (the extension
// spellings of C++20 constinit).
#if defined(__clang__)
#define ZEL_CONSTINIT [[clang::require_constant_initialization]]
#elif defined(__GNUC__) && __GNUC__ >= 10
#define ZEL_CONSTINIT __constinit
#else
#define ZEL_CONSTINIT
#endif

namespace zel {
namespace {

// The reporter used while no other is installed. Its constructor is constexpr
// and it has no data, so the object is complete (vtable pointer included) when
// the library is loaded, before any static constructor of any module runs.
ZEL_CONSTINIT NullProgressReporterImpl s_nullProgressReporter;

// One empty string for the operation name and the animation text of every null
// reporter. std::string cannot be constant-initialised in C++17, so it is made
// on first use, which also serves callers in other modules' static
// constructors.
const std::string& sharedEmptyText() {
  static const std::string empty;
  return empty;
}

}  // namespace

// One home for the vtables of the joined interfaces' implementation.
ProgressReporterImpl::~ProgressReporterImpl() = default;

NullProgressReporterImpl::~NullProgressReporterImpl() = default;

NullProgressReporterImpl& NullProgressReporterImpl::processWide() {
  return s_nullProgressReporter;
}

void NullProgressReporterImpl::reportProgress(float) {}
void NullProgressReporterImpl::setOperationName(std::string const&) {}
void NullProgressReporterImpl::pushWeight(float) {}
void NullProgressReporterImpl::popWeight() {}
// Every caller may believe it started reporting: stopping is harmless here.
bool NullProgressReporterImpl::startProgress() { return true; }
void NullProgressReporterImpl::stopProgress() {}

void NullProgressReporterImpl::setAnimationProgress(std::string const&) {}

void NullProgressReporterImpl::predictProgress(ProgressFunction const&, float) {
}
void NullProgressReporterImpl::predictProgress(std::string const&, float,
                                               float) {}
void NullProgressReporterImpl::cancelPrediction() {}

float NullProgressReporterImpl::getProgress() const { return 0.0f; }

// True with the arguments untouched: callers that pre-fill them see their own
// values back.
bool NullProgressReporterImpl::getProgressPrediction(float&, float&) const {
  return true;
}

std::string const& NullProgressReporterImpl::getOperationName() const {
  return sharedEmptyText();
}

std::string const& NullProgressReporterImpl::getAnimationProgress() {
  return sharedEmptyText();
}

void NullProgressReporterImpl::registerMidOpProcessor(MidOpProcessor*) {}
void NullProgressReporterImpl::unregisterMidOpProcessor(MidOpProcessor*) {}

bool NullProgressReporterImpl::isAborted() const { return false; }
void NullProgressReporterImpl::setSoftAbortMode(bool) {}

void NullProgressReporterImpl::imposeBounds(bool, float) {}

}  // namespace zel
