// Translation: the .trx reader, the dictionary of one language, the
// process-wide manager and the user messages it translates. Dictionary files
// are real files in a temporary folder. The manager's state only grows
// (packages stay required, disabling is final), so its scenarios run in fresh
// child processes: this process never touches it, and test order never matters.
#include <gtest/gtest.h>
#include <zel/DataError.h>
#include <zel/Translation.h>
#include <zel/TranslationManager.h>
#include <zel/TranslationObserver.h>
#include <zel/UserMsg.h>

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <fstream>

#include "TestSupport.h"
#include "TranslationFile.h"

namespace zel {
namespace {

using namespace std::string_literals;
using Entries = std::map<std::string, std::string>;
namespace manager = TranslationManager;

// A temporary folder, removed with its files at the end of the scope.
struct TrxFolder {
  TrxFolder() { EXPECT_NE(mkdtemp(path.data()), nullptr) << path; }
  ~TrxFolder() { std::filesystem::remove_all(path, ignored); }
  // Writes `content` byte for byte to <folder>/<name> and returns that path.
  std::string write(const std::string& name, const std::string& content) const {
    std::ofstream(path + "/" + name, std::ios::binary) << content;
    return path + "/" + name;
  }
  std::string path = testing::TempDir() + "zel_trx_XXXXXX";
  std::error_code ignored;  // a folder left behind fails no test
};

// The line of a source text, and the line of one translation of it.
std::string src(const std::string& text) { return "<source>" + text + "<\\source>\n"; }
std::string trans(const std::string& language, const std::string& text) {
  return "<translation lang=\"" + language + "\">" + text + "<\\translation>\n";
}

// The method and message of the data::notFound that `call` throws, after checking
// its class and type; "" when it throws nothing.
std::string notFound(const std::function<void()>& call) {
  try {
    call();
  } catch (const data::notFound& e) {
    EXPECT_EQ(e.getClass() + " " + std::to_string(e.getType()), "Translation 4");
    return e.getMethod() + ": " + e.getMessage();
  }
  return "";
}

// Texts looked up in every dictionary the reader fills; each is also the source
// and the language tag of one line of the code table's file.
const char* const kProbes[] = {"",      "_GB", "DE",    "de", "de_AT", "de_CH", "en",
                               "en-AU", "eng", "en_GB", "fr", "fr_FR", "zh_CN", "OK"};

// Reads `content` as the one file of a dictionary of `language`, then returns what
// it holds for the expected texts and the probes: an entry it should not have
// shows up too.
Entries entriesRead(const char* language, const std::string& content, const Entries& expected) {
  TrxFolder folder;
  Translation dictionary(language);
  dictionary.readFile(folder.write("read.trx", content));
  std::vector<std::string> probes(std::begin(kProbes), std::end(kProbes));
  for (const auto& entry : expected) probes.push_back(entry.first);
  Entries held;
  for (const std::string& probe : probes) {
    if (dictionary.isTranslatable(probe)) held[probe] = dictionary.translate(probe, nullptr);
  }
  return held;
}

TEST(TranslationFile, ReadsEveryKindOfLineAsTheFormatSays) {
  std::string example, tagged, bytes;  // the worked example so far; a line per tag; every byte
  for (const std::string tag : kProbes) tagged += src(tag) + trans(tag, "x");
  for (int byte = 0; byte < 256; ++byte) bytes += static_cast<char>(byte);
  const std::string huge(8 << 20, 'a');
  const Entries open = {{"Open file", "Datei & Ordner"}};
  const struct { std::string file; Entries expected; const char* language = "de_CH"; } cases[] = {
      // The worked example, line by line: each row reads the file one line longer.
      {example += R"(<source>Open file<\source>)" "\n", {}},
      {example += R"(<translation lang="fr">Ouvrir le fichier<\translation>)" "\n", {}},
      {example += R"(<translation lang="de">Datei &amp; Ordner<\translation>)" "\n", open},
      {example += R"(<translation lang="de_CH">Datei<\translation>)" "\n", open},
      {example += R"(  <source>Line one\nLine two<\source>)" "\n", open},
      {example += R"(<translation lang="de_CH">Zeile eins\nZeile zwei<\translation>)",
       {*open.begin(), {"Line one\nLine two", "Zeile eins\nZeile zwei"}}},
      // The ISO code, the part before the first "-" or "_", names the fallback lines.
      {tagged, {{"en", "x"}, {"en-AU", "x"}, {"eng", "x"}, {"en_GB", "x"}}, "en_GB"},
      {tagged, {{"de", "x"}, {"de_AT", "x"}, {"de_CH", "x"}}, "de-CH"},
      {tagged, {{"zh_CN", "x"}}, "zh-Hant_TW"}, {tagged, {{"fr", "x"}}, "fr"},
      {tagged, {{"de", "x"}}, "de"}, {tagged, {{"_GB", "x"}}, "_GB"}, {tagged, {{"", "x"}}, ""},
      // The first entry stays, exact or fallback; a fallback's text follows its first ">".
      {src("OK") + trans("de_CH", "A") + trans("de", "B") + trans("de_CH", "C") + src("Fb") +
           trans("de", "A") + trans("de_AT", "B") + src("Case") + trans("de_ch", "a>b"),
       {{"OK", "A"}, {"Fb", "A"}, {"Case", "a>b"}}},
      // Lines of no kind are ignored; before any source line the source is "".
      {"<SOURCE>B<\\source>\nx<source>C<\\source>\n<\n\\\n&\n<source\n<translation\n"
       "<Translation lang=\"de_CH\">X\n<translation lang=\"de no end\n" + trans("de_CH", "T"),
       {{"", "T"}}},
      // Lines too short for their closing tag, closing tags with a slash, CR LF.
      {"<source>OK\n<translation lang=\"de_CH\">\n<source>Hello world\n" + trans("de_CH", "Hi"),
       {{"OK", ""}, {"He", "Hi"}}},
      {" \t<source>OK</source>\r\n\t<translation lang=\"de_CH\">Gut</translation> \r\n",
       {{"OK", "Gut"}}},
      // Escapes first, then entities; a backslash at the end is dropped.
      {src("a\\nb &amp;lt;") +
           trans("de_CH", R"(\&lt; &amp;n &lt\; \\n\t\"&quot;&apos;&gt; &amp;amp; &nbsp;\)"),
       {{"a\nb <", "< &n < \\n\t\"\"'> &amp; &nbsp;"}}},
      // Any byte passes through; huge lines and empty files are read like others.
      {src("a\0\xff\x01"s) + trans("de_CH", "\x02\xfe") + bytes, {{"a\0\xff\x01"s, "\x02\xfe"}}},
      {src(huge) + trans("de_CH", huge + "b"), {{huge, huge + "b"}}}, {"", {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language + " | "s + c.file.substr(0, 100));
    EXPECT_EQ(entriesRead(c.language, c.file, c.expected), c.expected);
  }
}

TEST(Translation, ShowsMissingTextsWhenTheVariableExistedAtConstruction) {
  std::optional<test::ScopedEnv> show(std::in_place, "QEN_SHOW_MISSING_TRANSLATIONS", "");
  const Translation showing("de_DE");
  show.emplace("QEN_SHOW_MISSING_TRANSLATIONS", std::nullopt);
  const Translation copy(showing), hiding("de_DE");
  EXPECT_EQ(copy.translate("Gone", nullptr) + hiding.translate("Gone", nullptr), "[Gone]Gone");
}

TEST(ShippedDictionaries, TranslateEverySourceTextIntoEachLanguage) {
  const char* root = std::getenv("ZEL_SOURCE_DIR");
  ASSERT_NE(root, nullptr) << "run through CTest, which names the project root";
  for (const auto& file : std::filesystem::directory_iterator(root + "/data"s)) {
    for (const std::string language : {"en_GB", "de_DE", "fr_FR"}) {
      Translation shipped(language);
      shipped.readFile(file.path());
      std::ifstream lines(file.path());
      for (std::string line; std::getline(lines >> std::ws, line);) {  // skips indentation
        if (line.rfind("<source>", 0) != 0) continue;
        const auto source = trx::extractText(line, 8, 9), text = shipped.translate(source, nullptr);
        EXPECT_TRUE(shipped.isTranslatable(source) && !text.empty() &&
                    (text != source || language == "en_GB"))
            << language << ": " << source;
      }
    }
  }
}

// Runs `scenario` in a child process, where the data directory holds the
// required package "app" and a failed expectation throws, ending the child
// with its message. This process itself never touches the manager.
void inFreshProcess(const std::function<void(const TrxFolder&)>& scenario) {
  const auto run = [&scenario] {
    GTEST_FLAG_SET(throw_on_failure, true);
    TrxFolder dir;
    test::ScopedEnv top("ZEL_TOP_DATA_DIR", dir.path), show("QEN_SHOW_MISSING_TRANSLATIONS", {});
    dir.write("app.trx", src("Open") + trans("de_DE", "Öffnen") + trans("fr", "Ouvrir") +
                             trans("", "Leer") + src("File %1 has %2 lines") +
                             trans("de_DE", "%2 Zeilen in Datei %1"));
    manager::requirePackageDictionary("app");
    scenario(dir);
  };
  EXPECT_EXIT((run(), std::exit(0)), testing::ExitedWithCode(0), "");
}

std::string translated(const std::string& text) { return manager::translate(text, nullptr); }

std::string g_told;  // what the observers were told, in a child process

// Notes its name and what "Open" reads as when it is told of a change of language.
struct Recorder : TranslationObserver {
  explicit Recorder(const char* name) : name(name) {}
  void languageChanged() override { g_told += name + (":" + translated("Open") + " "); }
  const char* name;
};

TEST(TranslationManager, ServesAnApplicationFromStartUpToDisabling) {
  inFreshProcess([](const TrxFolder& dir) {
    bool found = true;  // the empty text needs no dictionary
    EXPECT_EQ(manager::translate("", &found) + UserMsg("", nullptr).str(), "");
    EXPECT_FALSE(found);
    // The language: QEN_LANGUAGE, else QEN_OKA_LOCALE, else "en_GB"; an empty value counts.
    const std::optional<std::string> unset, choices[][2] = {
        {"fr", "de_DE"}, {unset, "de_DE"}, {unset, unset}, {"", "de_DE"}, {unset, ""}};
    std::string chosen;
    for (const auto& [language, locale] : choices) {
      test::ScopedEnv setLanguage("QEN_LANGUAGE", language), setLocale("QEN_OKA_LOCALE", locale);
      chosen += manager::initialize();  // before the lookup below
      chosen += ":" + translated("Open") + " ";
    }
    EXPECT_EQ(chosen, "fr:Ouvrir de_DE:Öffnen en_GB:Open :Leer :Leer ");
    // The data directory: ZEL_TOP_DATA_DIR, even empty, else QEN_DATA_DIR. A package
    // that cannot be read leaves the current dictionary as it was.
    const std::string cannotRead = "readFile: Error loading dictionaries: cannot read file ";
    {
      test::ScopedEnv top("ZEL_TOP_DATA_DIR", ""), qen("QEN_DATA_DIR", dir.path);
      EXPECT_EQ(notFound([] { manager::setLanguage("fr"); }), cannotRead + "/app.trx");
      test::ScopedEnv noTop("ZEL_TOP_DATA_DIR", unset);
      manager::setLanguage("de_DE");
      test::ScopedEnv noQen("QEN_DATA_DIR", unset);
      EXPECT_EQ(notFound([] { manager::setLanguage("fr"); }),
                "loadPackageDictionary: Environment variable ZEL_TOP_DATA_DIR is not set");
    }
    EXPECT_EQ(translated("Open"), "Öffnen");
    // Observers: told once per attachment, after the new dictionary is current.
    Recorder first("first"), second("second");
    for (Recorder* observer : {&first, &second, &first}) manager::attach(observer);
    manager::setLanguage("fr");
    manager::detach(&first);
    manager::setLanguage("de_DE");
    EXPECT_EQ(g_told, "first:Ouvrir second:Ouvrir first:Ouvrir second:Öffnen ");
    // Packages: read in name order; one required later is read at once, after the others.
    dir.write("b.trx", src("Same") + trans("de_DE", "b"));
    dir.write("a.trx", src("Same") + trans("de_DE", "a") + src("OnlyA") + trans("de_DE", "A"));
    for (const char* package : {"b", "a"}) manager::requirePackageDictionary(package);
    EXPECT_EQ(translated("Same") + translated("OnlyA"), "bA");
    manager::setLanguage("de_DE");
    EXPECT_EQ(translated("Same"), "a");
    // A user message is translated when it is built and fills its source too. A
    // policy belongs to the dictionary it was set on.
    UserMsg message("File %1 has %2 lines", &found);
    EXPECT_TRUE(found);
    manager::setTranslationPolicy(ShowMissing);
    const UserMsg lost("Missing", &found);
    EXPECT_FALSE(found);
    manager::setLanguage("fr");
    message.arg("mesh.dat").arg(3);
    EXPECT_EQ(std::string(message), "3 Zeilen in Datei mesh.dat");
    EXPECT_EQ(message.source(), "File mesh.dat has 3 lines");
    EXPECT_EQ(lost.str() + UserMsg::getDelimiterToken() + lost.source() + translated("Missing"),
              "[Missing]<untranslated>MissingMissing");
    EXPECT_TRUE(manager::translatable("Open") && !manager::translatable("Missing"));
    // A package that cannot be read (here a directory) stays required; nobody is told.
    std::filesystem::create_directory(dir.path + "/Dir.trx");
    const std::string told = g_told, cannotReadDir = cannotRead + dir.path + "/Dir.trx";
    EXPECT_EQ(notFound([] { manager::requirePackageDictionary("Dir"); }), cannotReadDir);
    manager::requirePackageDictionary("Dir");  // required already: nothing happens
    EXPECT_EQ(notFound([] { manager::setLanguage("de_DE"); }), cannotReadDir);
    EXPECT_EQ(translated("Open"), "Ouvrir");
    // Disabled translations are final: texts stay unchanged, setLanguage reads nothing.
    manager::disableTranslations();
    manager::setLanguage("de_DE");
    EXPECT_EQ(manager::translate("Open", &found), "Open");
    EXPECT_FALSE(found || manager::translatable("Open") || g_told != told);
    manager::detach(&second);
  });
}

// An observer that notes its name, then does what the scenario gives it to do.
struct Actor : TranslationObserver {
  Actor(const char* name, std::function<void(Actor*)> act = {}) : name(name), act(std::move(act)) {}
  void languageChanged() override {
    g_told += name + " "s;
    if (act) act(this);
  }
  const char* name;
  std::function<void(Actor*)> act;
};

TEST(TranslationManager, TellsEachObserverAttachedAtTheStartOnceWhileOthersDetachAndAttach) {
  inFreshProcess([](const TrxFolder&) {
    // The victim is detached and destroyed by another observer before its turn.
    auto* const victim = new Actor("victim");
    Actor plain("plain"), late("late"), again("again");
    Actor selfish("self", [](Actor* self) { manager::detach(self); });
    Actor killer("killer", [victim](Actor* self) {
      manager::detach(victim);
      delete victim;
      self->act = {};
    });
    Actor attacher("attacher", [&late](Actor* self) {
      manager::attach(&late);
      self->act = {};
    });
    Actor rejoiner("rejoiner", [](Actor* self) {  // moves itself to the end of the list
      manager::detach(self);
      manager::attach(self);
      self->act = {};
    });
    Actor thrower("thrower", [](Actor* self) {
      manager::detach(self);
      throw std::runtime_error("refused");
    });
    for (TranslationObserver* observer : std::initializer_list<TranslationObserver*>{
             &plain, &selfish, &again, nullptr, &killer, victim, &rejoiner, &attacher, &selfish,
             &plain}) {
      manager::attach(observer);
    }
    manager::setLanguage("de_DE");
    EXPECT_EQ(g_told, "plain self again killer rejoiner attacher plain ");
    g_told.clear();
    manager::setLanguage("fr");
    EXPECT_EQ(g_told, "plain again killer attacher plain rejoiner late ");
    // An observer that throws ends the notification; the list stays consistent.
    manager::attach(&thrower);
    manager::attach(&again);
    g_told.clear();
    EXPECT_THROW(manager::setLanguage("de_DE"), std::runtime_error);
    manager::detach(&plain);
    manager::setLanguage("fr");
    EXPECT_EQ(g_told,
              "plain again killer attacher plain rejoiner late thrower "
              "again killer attacher rejoiner late again ");
    for (Actor* observer : {&again, &killer, &attacher, &rejoiner, &late}) {
      manager::detach(observer);
    }
  });
}

TEST(TranslationManager, FailsTheAssertionWithoutADictionary) {
  const auto failed = "Assertion failed: s_current, file Error/src/TranslationManager, line "s;
  EXPECT_DEATH(manager::translate("Open", nullptr), failed + "193");
  EXPECT_DEATH(UserMsg("Open", nullptr), failed + "193");
  EXPECT_DEATH(manager::translatable(""), failed + "167");
  EXPECT_DEATH(manager::setTranslationPolicy(ShowMissing), failed + "230");
  // Disabled translations spare translate and translatable, not setTranslationPolicy.
  EXPECT_DEATH((manager::disableTranslations(), translated("Open"), manager::translatable("Open"),
                manager::setTranslationPolicy(HideMissing)), failed + "230");
}

}  // namespace
}  // namespace zel
