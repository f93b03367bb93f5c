// The documented declarations used as an application uses them: implicit
// conversions, assignments and every overload. Most of the checking happens
// at compile time; the tests then make sure the conversions and assignments
// do what they say.
#include <gtest/gtest.h>
#include <zel/ZELError.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <type_traits>

namespace {

// Conversions an application relies on without naming the class.
static_assert(std::is_convertible_v<std::string, zel::SystemMsg>);
static_assert(std::is_convertible_v<zel::SystemMsg, std::string>);
static_assert(std::is_convertible_v<zel::UserMsg, std::string>);
static_assert(std::is_convertible_v<std::string, zel::Translation>);
static_assert(std::is_convertible_v<int, zel::ProgressOperation>);
static_assert(std::is_convertible_v<zel::ProgressOperation, int>);
static_assert(std::is_convertible_v<int, zel::ProgressFunction>);
static_assert(std::is_convertible_v<zel::ProgressFunction, int>);
static_assert(std::is_convertible_v<zel::ProgressFunction, zel::ProgressSubOp>);
static_assert(std::is_convertible_v<zel::CentredProgressLabel, const std::string&>);

// Value classes copy and move, by construction and by assignment.
template <typename T>
constexpr bool kCopiesAndMoves = std::is_copy_constructible_v<T> && std::is_copy_assignable_v<T> &&
                                 std::is_move_constructible_v<T> && std::is_move_assignable_v<T>;
static_assert(kCopiesAndMoves<zel::SystemMsg>);
static_assert(kCopiesAndMoves<zel::UserMsg>);
static_assert(kCopiesAndMoves<zel::ErrorMsg>);
static_assert(kCopiesAndMoves<zel::OutputMessage>);
static_assert(kCopiesAndMoves<zel::OutputMessageQueue>);
static_assert(kCopiesAndMoves<zel::ErrorStorage>);
static_assert(kCopiesAndMoves<zel::Translation>);
static_assert(kCopiesAndMoves<zel::ProgressBudget>);
static_assert(kCopiesAndMoves<zel::ProgressFunction>);
static_assert(kCopiesAndMoves<zel::ProgressOperation>);
static_assert(kCopiesAndMoves<zel::ProgressHandler>);
static_assert(kCopiesAndMoves<zel::CentredProgressLabel>);
static_assert(kCopiesAndMoves<zel::ApplicationProgressReporterImpl>);
static_assert(kCopiesAndMoves<zel::ApplicationErrorReporterImpl>);
static_assert(std::is_nothrow_move_assignable_v<zel::Translation>);
// The front and the guard are not copied.
static_assert(!std::is_copy_constructible_v<zel::ErrorReporter>);
static_assert(!std::is_copy_constructible_v<zel::StartProgress>);

class Builder : public zel::ProgressBudgetBuilder {
 public:
  void buildOperations() override { createOperation(1, "Analysis"); }
  void buildFunctions() override { createFunction(10, "Solve"); }
  void buildItinerary() override { addFunctionToOperation(1, 10, 0.5f); }
};

void takesMessage(const zel::SystemMsg& message, std::string& out) { out = message; }

// A dictionary file with one German entry, removed when the test ends.
struct TempDictionary {
  std::string path = testing::TempDir() + "zel_compat_test.trx";
  TempDictionary() {
    std::ofstream(path) << "<source>Solve<\\source>\n"
                           "  <translation lang=\"de_DE\">Lösen<\\translation>\n";
  }
  ~TempDictionary() { std::remove(path.c_str()); }
};

TEST(SourceCompatibility, ConvertsImplicitlyWhereTheInterfaceDeclaresNoExplicit) {
  std::string out;
  takesMessage(std::string("plain %1"), out);  // std::string -> SystemMsg
  EXPECT_EQ(out, "plain %1");
  zel::SystemMsg message = std::string("%1 of %2");
  message = std::string("%1 and %2");  // assignment through the conversion
  const std::string filled = message.arg(1).arg(2.5f);
  EXPECT_EQ(filled, "1 and 2.5");

  zel::ProgressOperation operation = 7;
  EXPECT_EQ(static_cast<int>(operation), 7);
  operation = 8;
  EXPECT_EQ(static_cast<int>(operation), 8);

  Builder builder;
  zel::ProgressBudgetDirector director;
  director.setBuilder(&builder);
  zel::ProgressBudget* budget = director.constructBudget();
  budget->setCurrentOperation(1);  // int -> ProgressOperation
  zel::ProgressFunction solve = 10;
  EXPECT_FLOAT_EQ(solve.getWeight(), 0.5f);
  EXPECT_EQ(solve.getLabel(), "Solve");
  const zel::ProgressSubOp subOp = solve;
  EXPECT_EQ(subOp.name, "Solve");
  budget->setCurrentOperation(2);
  EXPECT_FLOAT_EQ(solve.getWeight(), 0.0f);
  zel::ProgressFunction::setBudget(nullptr);
  delete budget;

  zel::Translation dictionary = std::string("de_DE");  // std::string -> Translation
  EXPECT_EQ(dictionary.translate("Solve", nullptr), "Solve");
}

TEST(SourceCompatibility, AssignsTranslationsMemberByMember) {
  TempDictionary file;
  zel::Translation german("de_DE");
  german.readFile(file.path);
  german.setTranslationPolicy(zel::ShowMissing);

  zel::Translation copy("fr_FR");
  copy = german;
  bool found = false;
  EXPECT_EQ(copy.translate("Solve", &found), "Lösen");
  EXPECT_TRUE(found);
  EXPECT_EQ(copy.getTranslationPolicy(), zel::ShowMissing);
  EXPECT_EQ(copy.translate("Other", nullptr), "[Other]");
  EXPECT_EQ(german.translate("Solve", nullptr), "Lösen") << "a copy leaves the source alone";

  // A move takes the entries over; the source keeps its language and policy
  // and stays usable, empty.
  zel::Translation moved("fr_FR");
  moved = std::move(german);
  EXPECT_EQ(moved.translate("Solve", nullptr), "Lösen");
  EXPECT_EQ(moved.getTranslationPolicy(), zel::ShowMissing);
  EXPECT_FALSE(german.isTranslatable("Solve"));  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(german.getTranslationPolicy(), zel::ShowMissing);
  german.readFile(file.path);  // still a German dictionary: reads the German line
  EXPECT_EQ(german.translate("Solve", nullptr), "Lösen");

  zel::Translation& self = moved;
  moved = std::move(self);
  EXPECT_EQ(moved.translate("Solve", nullptr), "Lösen") << "self-move keeps the entries";
  moved = self;
  EXPECT_EQ(moved.translate("Solve", nullptr), "Lösen") << "self-copy keeps the entries";
}

TEST(SourceCompatibility, CallsEveryDocumentedOverload) {
  zel::TranslationManager::disableTranslations();
  int logged = 0;
  const zel::ErrorLogFile::Sink previous =
      zel::ErrorLogFile::setSink([&](const std::string&) { ++logged; });
  zel::ApplicationErrorReporterImpl reporter;
  zel::ErrorReporter::instance(&reporter);
  const zel::internal::badParam error("Class", "method", "bad", zel::typeError);
  zel::ErrorReporter::instance()->reportError(error);
  zel::ErrorReporter::instance()->reportError(error, zel::typeWarning);
  zel::ErrorReporter::instance()->reportError(
      zel::ErrorMsg("Class", "method", zel::SystemMsg("%1 %2 %3 %4")
                                           .arg(1)
                                           .arg(2.5f)
                                           .arg("three")
                                           .arg(std::string("four")),
                    zel::typeSevere));
  EXPECT_EQ(logged, 3);
  zel::ErrorLogFile::setSink(previous);
  EXPECT_TRUE(reporter.hasMessages());
  EXPECT_TRUE(reporter.hasMessages(zel::typeWarning));
  zel::OutputMessageQueue queue;
  reporter.takeMessageQueue(zel::typeSevere, queue);
  EXPECT_EQ(queue.getText(), "1 2.5 three four");
  reporter.takeMessageQueue(queue);
  queue.pushUnique(zel::ErrorMsg("C", "m", "text", zel::typeNotice), false);
  queue.pushUnique(zel::OutputMessage(zel::ErrorMsg("C", "m", "other", zel::typeNotice), true));
  std::size_t shown = 0;
  for (; !queue.empty(); queue.pop()) ++shown;
  EXPECT_EQ(shown, 5u);

  const std::string user = zel::UserMsg("%1 files", nullptr).arg(3);
  EXPECT_EQ(user, "3 files");
  bool found = true;
  EXPECT_EQ(zel::UserMsg("x", &found).str(), "x");
  EXPECT_FALSE(found);

  // The three record constructors; a type of 0 takes the exception's own.
  EXPECT_EQ(zel::ErrorMsg().type(), zel::typeUnspecified);
  EXPECT_EQ(zel::ErrorMsg(error, zel::typeUnspecified).type(), zel::typeError);
  EXPECT_EQ(zel::ErrorMsg(error, zel::typeWarning).methodName(), "method");
  zel::ErrorStorage storage;
  storage.insertMessage(zel::ErrorMsg(error, zel::typeWarning));
  EXPECT_EQ(storage.getMessageCount(), 1u);
  EXPECT_EQ(storage.getMessageCount(zel::typeError), 0u);
  zel::OutputMessageQueue fresh;  // the first queue remembers "bad" already
  storage.takeMessageQueue(zel::typeError, fresh);
  EXPECT_TRUE(fresh.empty());
  storage.takeMessageQueue(fresh);
  ASSERT_FALSE(fresh.empty());
  EXPECT_EQ(fresh.getText(), "bad");

  zel::ApplicationProgressReporterImpl progress;
  zel::ProgressTracker::setReporter(&progress);
  {
    zel::ProgressTracker tracker("Task", true);
    tracker.add("A", 0.5f, 10);
    tracker.add(zel::ProgressFunction(3, 1));
    tracker.setTotalIncrements(std::size_t{0}, 4);
    tracker.setTotalIncrements("A", 4);
    tracker.setWeight("A", 0.5f);
    tracker.setWeight(std::size_t{1}, 0.25f);
    EXPECT_FLOAT_EQ(tracker.getWeight(std::size_t{1}), 0.25f);
    EXPECT_FLOAT_EQ(tracker.getWeight("A"), tracker.getWeight(std::size_t{0}));
    EXPECT_EQ(tracker.getTotalIncrements("A"), tracker.getTotalIncrements(std::size_t{0}));
    tracker.start("A", 4);
    tracker.increment();
    ++tracker;
    tracker++;
    tracker += 1;
    EXPECT_FLOAT_EQ(progress.getProgress(), 0.5f);
    tracker.start(std::size_t{0}, 4);
    progress.predictProgress("Step", 0.1f, 1.0f);
    progress.cancelPrediction();
    progress.predictProgress(zel::ProgressFunction(3, 1), 1.0f);
    progress.cancelPrediction();
  }
  {
    const zel::ProgressTracker silent;  // never starts reporting
    EXPECT_EQ(silent.size(), 0u);
    // Named by the function's label, which needs a budget in force.
    Builder builder;
    zel::ProgressBudgetDirector director;
    director.setBuilder(&builder);
    const std::unique_ptr<zel::ProgressBudget> budget(director.constructBudget());
    budget->setCurrentOperation(1);
    {
      const zel::ProgressTracker fromFunction(zel::ProgressFunction(10, 1), true);
      EXPECT_EQ(fromFunction.size(), 1u);
      EXPECT_EQ(progress.getOperationName(), "Solve");
    }
    zel::ProgressFunction::setBudget(nullptr);
  }
  zel::ProgressTracker::setReporter(nullptr);

  zel::CentredProgressLabel label(zel::CentredProgressLabel::centreInField, "x");
  const std::string& text = label;
  EXPECT_NE(text.find('x'), std::string::npos);

  static zel::NullErrorReporterImpl discard;
  zel::ErrorReporter::instance(&discard);
}

}  // namespace
