// The binary interface that applications compiled against libZELError rely on:
// the size and member layout of each exported class, the slot order of each
// virtual table, and the special members that decide how objects are copied
// and deleted across the library boundary. An application built against these
// headers keeps working with a later build of the library only while all of
// this stays put. The expected values follow the Itanium C++ ABI with
// libstdc++ on x86-64; on any other platform the program skips.
#include <gtest/gtest.h>

#include <cstddef>  // with libstdc++, defines __GLIBCXX__

#if defined(__x86_64__) && defined(__GLIBCXX__)

#include <zel/ZELError.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

namespace zel {
namespace {

// ---------------------------------------------------------------------------
// What the compiler made of a class

// Under the Itanium C++ ABI a pointer to a data member holds the member's
// offset in bytes.
template <typename T, typename Class>
std::string memberAt(T Class::*member) {
  std::ptrdiff_t offset;
  std::memcpy(&offset, &member, sizeof offset);
  return "\n" + (typeid(T).name() + (" at " + std::to_string(offset)));
}

// Under the Itanium C++ ABI a pointer to a virtual member function holds
// 1 + the byte offset of its slot in the virtual table in its first 8 bytes; a
// pointer to a non-virtual one holds the function's (even) address: -1 here.
template <typename Signature, typename Class>
std::ptrdiff_t slotOf(Signature Class::*function) {
  std::ptrdiff_t raw;
  std::memcpy(&raw, &function, sizeof raw);
  return raw % 2 == 1 ? (raw - 1) / std::ptrdiff_t{sizeof(void*)} : -1;
}

// Derived from T with one more virtual function, which takes the first slot
// after everything in T's primary virtual table.
template <typename T>
struct Probe : T {
  virtual void probe() {}
};

// The length of T's primary virtual table; -1 for a final class, which cannot
// be probed.
template <typename T>
std::ptrdiff_t tableLength() {
  if constexpr (std::is_final_v<T>)
    return -1;
  else
    return slotOf(&Probe<T>::probe);
}

// How objects of T are deleted and copied; "protected" stands for any
// destructor that code outside the class cannot call.
template <typename T>
std::string specialMembersOf() {
  std::string text = std::is_abstract_v<T> ? "abstract, " : "";
  text += std::is_destructible_v<T> ? "public " : "protected ";
  text +=
      std::has_virtual_destructor_v<T> ? "virtual destructor" : "destructor";
  if constexpr (!std::is_abstract_v<T>) {
    if (!std::is_copy_constructible_v<T>) text += ", no copy";
    if (!std::is_copy_assignable_v<T>) text += ", no assignment";
  }
  return text;
}

// ---------------------------------------------------------------------------
// The table of classes

// Base<B> is a base class among the parts of a class; Vptr is the pointer to
// a virtual table.
template <typename B>
struct Base {};
using Vptr = Base<void*>;

// Class described twice: as compiled, and as the Itanium C++ ABI lays out the
// listed parts, each at the next offset aligned for it. The bases here have no
// tail padding, so a base takes sizeof(base) bytes, or none when empty.
template <typename Class>
struct Sheet {
  template <typename B>
  void add(Base<B>*) {
    if constexpr (!std::is_empty_v<B>) place(sizeof(B), alignof(B));
    if constexpr (std::is_class_v<B> && !std::is_convertible_v<Class*, B*>) {
      actual << "\nno public base " << typeid(B).name();
    }
  }
  template <typename T>
  void add(T*) {
    expected << "\n"
             << typeid(T).name() << " at " << place(sizeof(T), alignof(T));
  }
  std::size_t place(std::size_t size, std::size_t alignment) {
    const std::size_t offset = (end + alignment - 1) / alignment * alignment;
    end = offset + size;
    align = std::max(align, alignment);
    return offset;
  }

  std::size_t end = 0;
  std::size_t align = 1;
  std::ostringstream actual;
  std::ostringstream expected;
};

// Each class in the table, described as compiled and as expected.
std::vector<std::pair<std::string, std::string>>& checks() {
  static std::vector<std::pair<std::string, std::string>> all;
  return all;
}

// One row of the table: Class, the length of its primary virtual table (a
// virtual destructor takes two slots; -1 when final), how it is deleted and
// copied, and its parts in declaration order: its bases, then the types of its
// data members, which Members then names. Explicit instantiations are exempt
// from access checks, so they may name private members; each files its row at
// start-up.
template <typename Class, std::ptrdiff_t kSlots, const char* kSpecialMembers,
          typename... Parts>
struct Row {
  template <auto... kMembers>
  struct Members {
    static std::pair<std::string, std::string> check() {
      Sheet<Class> sheet;
      (sheet.add(static_cast<Parts*>(nullptr)), ...);
      ((sheet.actual << memberAt(kMembers)), ...);
      std::ostringstream actual, expected;
      actual << typeid(Class).name() << ": " << sizeof(Class)
             << " bytes aligned to " << alignof(Class) << ", "
             << tableLength<Class>() << " slots, " << specialMembersOf<Class>()
             << sheet.actual.str();
      expected << typeid(Class).name() << ": " << sheet.place(0, sheet.align)
               << " bytes aligned to " << sheet.align << ", " << kSlots
               << " slots, " << kSpecialMembers << sheet.expected.str();
      return {actual.str(), expected.str()};
    }
    static inline const bool kFiled = (checks().push_back(check()), true);
  };
};

// How each kind of class is deleted and copied. An interface through which
// the library never deletes hides its destructor, or at least keeps it out of
// the virtual table.
constexpr char kHidden[] = "abstract, protected destructor";
constexpr char kInterface[] = "abstract, public destructor";
constexpr char kAbstract[] = "abstract, public virtual destructor";
constexpr char kVirtual[] = "public virtual destructor";
constexpr char kValue[] = "public destructor";
constexpr char kNoCopy[] = "public destructor, no copy, no assignment";

// clang-format off
template struct Row<SystemMsg, 0, kValue, std::int32_t, std::string>::Members<
    &SystemMsg::m_argCount, &SystemMsg::m_text>;
template struct Row<UserMsg, 0, kValue, SystemMsg, SystemMsg>::Members<
    &UserMsg::m_translated, &UserMsg::m_source>;
template struct Row<ErrorMsg, 0, kValue, std::string, std::string, std::string, errorType,
    ErrorTag::ErrorTagType>::Members<&ErrorMsg::m_className, &ErrorMsg::m_methodName,
    &ErrorMsg::m_message, &ErrorMsg::m_type, &ErrorMsg::m_errorTag>;
template struct Row<OutputMessage, 0, kValue, errorType, std::string, ErrorTag::ErrorTagType>::
    Members<&OutputMessage::m_severity, &OutputMessage::m_text, &OutputMessage::m_errorTag>;
template struct Row<OutputMessageQueue, 0, kValue, std::deque<OutputMessage>,
    std::set<OutputMessage>>::Members<&OutputMessageQueue::m_queue, &OutputMessageQueue::m_seen>;
template struct Row<ErrorStorage, 0, kValue, std::list<ErrorMsg>, bool>::Members<
    &ErrorStorage::m_messages, &ErrorStorage::m_verbose>;
template struct Row<ErrorReporting, 3, kHidden, Vptr>::Members<>;
template struct Row<ReportModeControl, 2, kInterface, Vptr>::Members<>;
template struct Row<ErrorReportProvider, 4, kInterface, Vptr>::Members<>;
template struct Row<ErrorTagIF, 3, kAbstract, Vptr>::Members<>;
// Its destructor follows the three slots it shares with ErrorReporting.
template struct Row<ErrorReporterImpl, 5, kAbstract, Base<ErrorReporting>, Base<ReportModeControl>,
    Base<ErrorReportProvider>>::Members<>;
// A class overriding the functions of its later bases repeats them in its own
// table: 5 + 2 + 4 slots here, 8 + 1 + 3 + 6 + 2 + 1 for progress reporters.
template struct Row<NullErrorReporterImpl, 11, kVirtual, Base<ErrorReporterImpl>>::Members<>;
template struct Row<ApplicationErrorReporterImpl, 11, kVirtual, Base<ErrorReporterImpl>,
    ErrorStorage, const ErrorTagIF*>::Members<&ApplicationErrorReporterImpl::m_storage,
    &ApplicationErrorReporterImpl::m_errorTagIF>;
// Final, with the table of ErrorReporting; NonCopyable takes no room.
template struct Row<ErrorReporter, -1, kNoCopy, Base<ErrorReporting>, Base<NonCopyable>,
    ErrorReporting*>::Members<&ErrorReporter::m_impl>;
// The kind of the exception, its class, method and message.
template struct Row<Error, 8, kVirtual, Vptr, std::string, std::string, std::string, std::string,
    errorType, int>::Members<&Error::m_kind, &Error::m_className, &Error::m_methodName,
    &Error::m_message, &Error::m_type, &Error::m_code>;
template struct Row<extsub::error::ExtExecutionError, 8, kVirtual, Base<Error>>::Members<>;
template struct Row<Interrupt, 8, kVirtual, Base<Error>>::Members<>;
template struct Row<internal::error, 8, kVirtual, Base<Error>>::Members<>;
template struct Row<internal::badParam, 8, kVirtual, Base<internal::error>>::Members<>;
template struct Row<internal::overflow, 8, kVirtual, Base<internal::error>>::Members<>;
template struct Row<data::error, 8, kVirtual, Base<Error>>::Members<>;
template struct Row<data::invalid, 8, kVirtual, Base<data::error>>::Members<>;
template struct Row<data::notFound, 8, kVirtual, Base<data::error>>::Members<>;
template struct Row<ProgressReporting, 6, kHidden, Vptr>::Members<>;
template struct Row<AnimationProgressReporter, 1, kHidden, Vptr>::Members<>;
template struct Row<ProgressPredictor, 3, kHidden, Vptr>::Members<>;
template struct Row<ProgressProvider, 6, kInterface, Vptr>::Members<>;
template struct Row<ProgressAbortMode, 2, kHidden, Vptr>::Members<>;
template struct Row<ProgressBoundsControl, 1, kInterface, Vptr>::Members<>;
template struct Row<MidOpProcessor, 1, kHidden, Vptr>::Members<>;
// Its destructor follows the six slots of ProgressReporting.
template struct Row<ProgressReporterImpl, 8, kAbstract, Base<ProgressReporting>,
    Base<AnimationProgressReporter>, Base<ProgressPredictor>, Base<ProgressProvider>,
    Base<ProgressAbortMode>, Base<ProgressBoundsControl>>::Members<>;
template struct Row<NullProgressReporterImpl, 21, kVirtual, Base<ProgressReporterImpl>>::Members<>;
template struct Row<ApplicationProgressReporterImpl, 21, kVirtual, Base<ProgressReporterImpl>,
    ProgressHandler, std::set<MidOpProcessor*>, std::string, bool, bool>::Members<
    &ApplicationProgressReporterImpl::m_handler, &ApplicationProgressReporterImpl::m_processors,
    &ApplicationProgressReporterImpl::m_animationProgress,
    &ApplicationProgressReporterImpl::m_aborted, &ApplicationProgressReporterImpl::m_softAbort>;
template struct Row<ProgressHandler, 2, kVirtual, Vptr, std::string, float, float,
    std::deque<float>, std::deque<float>, float, bool, bool, bool, bool, float, float>::Members<
    &ProgressHandler::m_operationName, &ProgressHandler::m_progress,
    &ProgressHandler::m_upperBound, &ProgressHandler::m_weights, &ProgressHandler::m_offsets,
    &ProgressHandler::m_scale, &ProgressHandler::m_subOperation, &ProgressHandler::m_started,
    &ProgressHandler::m_bounded, &ProgressHandler::m_predicting,
    &ProgressHandler::m_predictedWeight, &ProgressHandler::m_predictedEstimate>;
template struct Row<CentredProgressLabel, 0, kValue, CentredProgressLabel::CenteringMode,
    std::string>::Members<&CentredProgressLabel::m_mode, &CentredProgressLabel::m_label>;
template struct Row<ProgressSubOp, 0, kValue, std::string, float, int>::Members<
    &ProgressSubOp::name, &ProgressSubOp::weight, &ProgressSubOp::totalIncrements>;
template struct Row<ProgressFunction, 2, kVirtual, Vptr, int, int, int>::Members<
    &ProgressFunction::m_id, &ProgressFunction::m_numReentries, &ProgressFunction::m_numIncrements>;
template struct Row<ProgressOperation, 2, kVirtual, Vptr, int>::Members<&ProgressOperation::m_type>;
template struct Row<ProgressBudget, 0, kValue, int, std::map<int, std::map<int, float>>,
    std::map<int, std::string>, std::map<int, std::string>>::Members<&ProgressBudget::m_currentOp,
    &ProgressBudget::m_itinerary, &ProgressBudget::m_functions, &ProgressBudget::m_operations>;
template struct Row<ProgressBudgetBuilder, 5, kAbstract, Vptr, ProgressBudget*>::Members<
    &ProgressBudgetBuilder::m_newBudget>;
template struct Row<ProgressBudgetDirector, 0, kValue, ProgressBudgetBuilder*>::Members<
    &ProgressBudgetDirector::m_builder>;
template struct Row<ITaskProgress, 12, kAbstract, Vptr>::Members<>;
// The tracker keeps its state behind one pointer, free to change.
template struct Row<ProgressTracker, 12, kVirtual, Base<ITaskProgress>, ProgressTrackerState*>::
    Members<&ProgressTracker::m_state>;
template struct Row<StartProgress, 0, kNoCopy, ProgressTracker*>::Members<
    &StartProgress::m_tracker>;
template struct Row<Translation, 0, kValue, std::string, std::string,
    std::map<std::string, std::string>, TranslationPolicy>::Members<&Translation::m_language,
    &Translation::m_isoCode, &Translation::m_translations, &Translation::m_policy>;
template struct Row<TranslationObserver, 3, kAbstract, Vptr>::Members<>;
// clang-format on

TEST(ClassLayout, EveryExportedClassKeepsItsMembersTableAndSpecialMembers) {
  // A row written without ::Members<...> would file nothing.
  ASSERT_EQ(checks().size(), 46u) << "rows filed before the tests";
  for (const auto& [actual, expected] : checks()) EXPECT_EQ(actual, expected);
}

TEST(ClassLayout, EnumerationsAreThirtyTwoBits) {
  EXPECT_EQ(sizeof(errorType), sizeof(std::int32_t));
  EXPECT_EQ(sizeof(ErrorTag::ErrorTagType), sizeof(std::int32_t));
  EXPECT_EQ(sizeof(TranslationPolicy), sizeof(std::int32_t));
  EXPECT_EQ(sizeof(CentredProgressLabel::CenteringMode), sizeof(std::int32_t));
}

// ---------------------------------------------------------------------------
// Slot order. The table of classes shows where each virtual table ends, which
// pins an interface with one function. A class derived from an interface
// overrides in the slots of the interface.

TEST(VirtualTables, VirtualFunctionsKeepTheirSlotOrder) {
  using Task = ITaskProgress;
  const struct {
    const char* table;
    std::ptrdiff_t first;  // 2 after a virtual destructor declared first
    std::vector<std::ptrdiff_t> slots;  // of its functions, as declared
  } cases[] = {
      // clang-format off
      {"ErrorReporting", 0, {slotOf<void(const Error&, errorType)>(&ErrorReporting::reportError),
          slotOf<void(const Error&)>(&ErrorReporting::reportError),
          slotOf<void(const ErrorMsg&)>(&ErrorReporting::reportError)}},
      {"ReportModeControl", 0, {slotOf(&ReportModeControl::setVerboseMode),
          slotOf(&ReportModeControl::registerErrorTagIF)}},
      {"ErrorReportProvider", 0, {
          slotOf<void(OutputMessageQueue&)>(&ErrorReportProvider::takeMessageQueue),
          slotOf<void(errorType, OutputMessageQueue&)>(&ErrorReportProvider::takeMessageQueue),
          slotOf<bool() const>(&ErrorReportProvider::hasMessages),
          slotOf<bool(errorType) const>(&ErrorReportProvider::hasMessages)}},
      {"ErrorTagIF", 2, {slotOf(&ErrorTagIF::currentTag)}},
      {"Error", 2, {slotOf(&Error::getType), slotOf(&Error::write), slotOf(&Error::getClass),
          slotOf(&Error::getMethod), slotOf(&Error::errorMessage), slotOf(&Error::getMessage)}},
      {"ProgressReporting", 0, {slotOf(&ProgressReporting::reportProgress),
          slotOf(&ProgressReporting::setOperationName), slotOf(&ProgressReporting::pushWeight),
          slotOf(&ProgressReporting::popWeight), slotOf(&ProgressReporting::startProgress),
          slotOf(&ProgressReporting::stopProgress)}},
      {"ProgressPredictor", 0, {
          slotOf<void(ProgressFunction const&, float)>(&ProgressPredictor::predictProgress),
          slotOf<void(std::string const&, float, float)>(&ProgressPredictor::predictProgress),
          slotOf(&ProgressPredictor::cancelPrediction)}},
      {"ProgressProvider", 0, {slotOf(&ProgressProvider::getProgress),
          slotOf(&ProgressProvider::getProgressPrediction),
          slotOf(&ProgressProvider::getOperationName),
          slotOf(&ProgressProvider::getAnimationProgress),
          slotOf(&ProgressProvider::registerMidOpProcessor),
          slotOf(&ProgressProvider::unregisterMidOpProcessor)}},
      {"ProgressAbortMode", 0, {slotOf(&ProgressAbortMode::isAborted),
          slotOf(&ProgressAbortMode::setSoftAbortMode)}},
      {"ITaskProgress", 2, {slotOf(&Task::nextStep),
          slotOf<void(std::string const&, int)>(&Task::start),
          slotOf<void(std::size_t, int)>(&Task::start),
          slotOf<void(std::string const&, int)>(&Task::setTotalIncrements),
          slotOf<void(std::size_t, int)>(&Task::setTotalIncrements),
          slotOf(&Task::setNumIncrements), slotOf(&Task::increment),
          slotOf<void()>(&Task::operator++), slotOf<void(int)>(&Task::operator++),
          slotOf(&Task::operator+=)}},
      {"ProgressBudgetBuilder", 2, {slotOf(&ProgressBudgetBuilder::buildItinerary),
          slotOf(&ProgressBudgetBuilder::buildFunctions),
          slotOf(&ProgressBudgetBuilder::buildOperations)}},
      {"TranslationObserver", 0, {slotOf(&TranslationObserver::languageChanged)}}};
  // clang-format on
  for (const auto& row : cases) {
    std::ptrdiff_t slot = row.first;
    for (std::ptrdiff_t actual : row.slots)
      EXPECT_EQ(actual, slot++) << row.table;
  }
}

// ---------------------------------------------------------------------------
// Moves and bases

// ProgressHandler has no move operations: a move copies, so the source keeps
// its whole state, the stacks included.
TEST(SpecialMembers, MovingAProgressHandlerLeavesTheSourceUnchanged) {
  ProgressHandler source;
  source.startProgress();
  source.setOperationName("Solve");
  source.setProgress(0.5f);
  source.pushWeight(0.4f);
  ProgressHandler moved(std::move(source));
  ProgressHandler assigned;
  assigned = std::move(source);
  EXPECT_EQ(source.getOperationName(), "Solve");
  source.setProgress(1.0f);  // still running, inside the weight 0.4 from 0.5
  EXPECT_FLOAT_EQ(source.getProgress(), 0.9f);
}

template <typename... Bases, typename Derived>
std::vector<std::ptrdiff_t> baseOffsets(const Derived& object) {
  const auto* start = reinterpret_cast<const char*>(&object);
  return {reinterpret_cast<const char*>(static_cast<const Bases*>(&object)) -
          start...};
}

// Each interface part holds one 8-byte table pointer. ProgressReporting comes
// first: installing a reporter as a ProgressReporting* keeps its address.
TEST(BaseClasses, InterfacePartsLieInDeclarationOrder) {
  using Offsets = std::vector<std::ptrdiff_t>;
  EXPECT_EQ((baseOffsets<ErrorReporterImpl, ErrorReporting, ReportModeControl,
                         ErrorReportProvider>(NullErrorReporterImpl())),
            (Offsets{0, 0, 8, 16}));
  EXPECT_EQ(
      (baseOffsets<ProgressReporterImpl, ProgressReporting,
                   AnimationProgressReporter, ProgressPredictor,
                   ProgressProvider, ProgressAbortMode, ProgressBoundsControl>(
          NullProgressReporterImpl())),
      (Offsets{0, 0, 8, 16, 24, 32, 40}));
}

}  // namespace
}  // namespace zel

#else  // not x86-64 with libstdc++

TEST(BinaryInterface, IsCheckedOnlyOnX8664WithLibstdcxx) {
  GTEST_SKIP() << "the expected layout is that of x86-64 with libstdc++";
}

#endif
