// zel-trx against the dictionary reader itself: what the tool says a
// dictionary holds, what a PO round trip leaves, and where from-po writes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <zel/StringUtilities.h>
#include <zel/Translation.h>

#include "Commands.h"
#include "Output.h"
#include "PoFile.h"
#include "ToolError.h"
#include "TrxFile.h"
#include "TrxFormat.h"

namespace zel::trxtool {
namespace {

namespace fs = std::filesystem;

// Read from every sample besides the languages it holds: variants and bare
// codes whose fallback lines are there, and languages that are not.
const std::vector<std::string> kLanguages = {"de", "de_CH", "de_ch", "de-AT", "fr",
                                             "en", "en_GB", "xx_YY", "it"};

// Translations that from-po must encode so that the reader gives them back:
// escapes, entities, what only looks like either, blanks at both ends.
const std::vector<std::string> kEditedTexts = {
    "plain", "back\\slash \\n \\\\", "line\nfeed\ttab", "<b> & \"q\" 'a'", "&amp", "&;lt;",
    "&&lt", " leading and trailing ", "\\", "ü 100%", "x\r"};

// `text` followed by the tokens of `source`, as msgfmt -c wants them.
std::string withTokensOf(const std::string& source, const std::string& text) {
  std::string result = text;
  for (const char digit : tokensIn(source)) result += std::string(" %") + digit;
  return result;
}

using Entries = std::map<std::string, std::string>;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void spill(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// What Translation::readFile takes for `language` from `path`. It keys every
// entry by "" or by the text of a source line.
Entries libraryReads(const fs::path& path, const std::string& language) {
  Translation library(language);
  library.readFile(path.string());
  std::vector<SourceText> keys = readLanguage(loadTrxFile(path.string()).lines, "").sources;
  keys.push_back({"", 0});
  Entries entries;
  for (const SourceText& key : keys) {
    if (library.isTranslatable(key.text)) entries[key.text] = library.translate(key.text, nullptr);
  }
  return entries;
}

// The lines of a dictionary file other than the translation lines of `language`.
std::vector<std::string> otherLines(const fs::path& path, const std::string& language) {
  const std::string tag = "<translation lang=\"" + language + "\">";
  std::vector<std::string> kept;
  for (const std::string& line : loadTrxFile(path.string()).lines) {
    if (line.find(tag) == std::string::npos) kept.push_back(line);
  }
  return kept;
}

class ZelTrx : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(m_dir); }
  void TearDown() override { fs::remove_all(m_dir); }

  // The shipped dictionaries and the tool's samples, and each of them again
  // with carriage returns before its line feeds and without the last one.
  std::vector<fs::path> samples() const {
    std::vector<fs::path> files;
    for (const char* dir : {"data", "tools/zel-trx/tests"}) {
      for (const fs::path& path : fs::directory_iterator(fs::path(ZEL_TRX_SOURCE_DIR) / dir)) {
        if (path.extension() != ".trx") continue;
        const fs::path crlf = m_dir / path.filename().replace_extension(".crlf.trx");
        const std::string text = StringUtilities::replaceSubstring(slurp(path), "\n", "\r\n");
        spill(crlf, text.substr(0, text.size() - 2));
        files.insert(files.end(), {path, crlf});
      }
    }
    return files;
  }

  const fs::path m_dir = fs::temp_directory_path() / ("zel-trx-" + std::to_string(::getpid()));
  const std::string m_po = (m_dir / "written.po").string();
  const std::string m_trx = (m_dir / "written.trx").string();
  std::ostringstream m_out, m_err;
};

// For every sample and language: the tool reads what the library reads;
// msgfmt -c takes the PO file of to-po; from-po of it unchanged gives the file
// back byte for byte; with every text changed, the language reads back exactly
// the new texts and every line of the other languages stays as it was.
TEST_F(ZelTrx, ReadsAsTheLibraryDoesAndCarriesEveryLanguageThroughPoExactly) {
  for (const fs::path& path : samples()) {
    const TrxFile file = loadTrxFile(path.string());
    std::vector<std::string> languages = languagesIn(file.lines);
    languages.insert(languages.end(), kLanguages.begin(), kLanguages.end());
    for (const std::string& language : languages) {
      SCOPED_TRACE(path.filename().string() + " " + language);
      Entries tool;
      for (const auto& [source, entry] : readLanguage(file.lines, language).entries) {
        tool[source] = entry.text;
      }
      const Entries library = libraryReads(path, language);
      EXPECT_EQ(tool, library);

      ASSERT_EQ(runToPo({path.string(), language, m_po}, m_out, m_err), 0);
#ifdef ZEL_TRX_MSGFMT
      EXPECT_EQ(std::system((ZEL_TRX_MSGFMT " -c -o /dev/null '" + m_po + "'").c_str()), 0);
#endif
      ASSERT_EQ(runFromPo({path.string(), m_po, m_trx}, m_out, m_err), 0) << m_err.str();
      EXPECT_EQ(slurp(m_trx), slurp(path));

      PoCatalog catalog = readPoFile(m_po);
      for (std::size_t i = 0; i < catalog.messages.size(); ++i) {
        catalog.messages[i].translation =
            withTokensOf(catalog.messages[i].source, kEditedTexts[i % kEditedTexts.size()]);
        catalog.messages[i].fuzzy = false;
      }
      // A merge that would change what another language reads is refused as
      // a whole; without the texts it names, the rest goes through.
      for (int attempt = 0; attempt < 2; ++attempt) {
        fs::remove(m_trx);
        writePoFile(m_po, catalog);
        m_err.str("");
        const int status = runFromPo({path.string(), m_po, m_trx}, m_out, m_err);
        if (status == 0) break;
        ASSERT_EQ(attempt, 0) << m_err.str();
        ASSERT_EQ(status, 1) << m_err.str();
        EXPECT_FALSE(fs::exists(m_trx));
        std::vector<PoMessage> kept;
        for (const PoMessage& message : catalog.messages) {
          if (m_err.str().find(quoted(message.source) + " cannot be merged") == std::string::npos) {
            kept.push_back(message);
          }
        }
        ASSERT_LT(kept.size(), catalog.messages.size()) << m_err.str();
        catalog.messages = kept;
      }
      Entries expected = library;  // every merged text changes, the entry of "" stays
      for (const PoMessage& message : catalog.messages) {
        expected[message.source] = message.translation;
      }
      EXPECT_EQ(libraryReads(m_trx, language), expected);
      EXPECT_EQ(otherLines(m_trx, language), otherLines(path, language));
      for (const std::string& other : languagesIn(file.lines)) {
        if (other == language) continue;
        SCOPED_TRACE("read by " + other);
        EXPECT_EQ(libraryReads(m_trx, other), libraryReads(path, other));
      }
    }
  }
  // The reader resolves these wherever they stand: no dictionary line gives them.
  for (const char* impossible : {"&amp;", "a &lt; b", "&gt;", "&quot;x", "it&apos;s"}) {
    EXPECT_FALSE(encodeText(impossible)) << impossible;
  }
}

// "<Neu>" for "Open" in de_CH, merged into the dictionary file itself.
TEST_F(ZelTrx, FromPoWritesTheLineWhereTheReaderTakesIt) {
  spill(m_po, "msgid \"\"\nmsgstr \"Language: de_CH\\n\"\n\nmsgid \"Open\"\nmsgstr \"<Neu>\"\n");
  const struct { const char *name, *before, *after; int status; } cases[] = {
      {"replaces the own line in place, keeping indentation and line end",
       "<source>Open<\\source>\r\n\t<translation lang=\"de_CH\">Alt<\\translation>\r\n",
       "<source>Open<\\source>\r\n\t<translation lang=\"de_CH\">&lt;Neu&gt;<\\translation>\r\n", 0},
      {"moves a line shadowed by a fallback line before it",
       "<source>Open<\\source>\n  <translation lang=\"de\">De<\\translation>\n"
       "  <translation lang=\"fr\">Fr<\\translation>\n"
       "  <translation lang=\"de_CH\">Alt<\\translation>\n",
       "<source>Open<\\source>\n  <translation lang=\"de_CH\">&lt;Neu&gt;<\\translation>\n"
       "  <translation lang=\"de\">De<\\translation>\n"
       "  <translation lang=\"fr\">Fr<\\translation>\n", 0},
      {"adds a line before a fallback line, ending like it",
       "<source>Open<\\source>\r\n <translation lang=\"de\">De<\\translation>\r\n"
       "<source>Save<\\source>\r\n <translation lang=\"fr\">Sauver<\\translation>\r\n",
       "<source>Open<\\source>\r\n <translation lang=\"de_CH\">&lt;Neu&gt;<\\translation>\r\n"
       " <translation lang=\"de\">De<\\translation>\r\n"
       "<source>Save<\\source>\r\n <translation lang=\"fr\">Sauver<\\translation>\r\n", 0},
      {"refuses a line that another variant of the file would read as its fallback",
       "<source>Open<\\source>\n <translation lang=\"de\">De<\\translation>\n"
       "<source>Save<\\source>\n <translation lang=\"de_AT\">Sichern<\\translation>\n",
       "<source>Open<\\source>\n <translation lang=\"de\">De<\\translation>\n"
       "<source>Save<\\source>\n <translation lang=\"de_AT\">Sichern<\\translation>\n", 1},
      {"replaces the language's line where it stands, in a later block of the text",
       "<source>Open<\\source>\n  <translation lang=\"fr\">Fr<\\translation>\n<!-- x -->\n"
       "<source>Open<\\source>\n  <translation lang=\"de_CH\">Später<\\translation>",
       "<source>Open<\\source>\n  <translation lang=\"fr\">Fr<\\translation>\n<!-- x -->\n"
       "<source>Open<\\source>\n  <translation lang=\"de_CH\">&lt;Neu&gt;<\\translation>", 0},
      {"adds a line after the block's last translation, in the first block",
       "<source>Open<\\source>\n  <translation lang=\"fr\">Fr<\\translation>\n<!-- x -->\n"
       "<source>Open<\\source>\n  <translation lang=\"it\">Apri<\\translation>",
       "<source>Open<\\source>\n  <translation lang=\"fr\">Fr<\\translation>\n"
       "  <translation lang=\"de_CH\">&lt;Neu&gt;<\\translation>\n<!-- x -->\n"
       "<source>Open<\\source>\n  <translation lang=\"it\">Apri<\\translation>", 0},
      {"adds a line after the lines another language reads in a later block",
       "<source>Open<\\source>\n  <translation lang=\"fr\">Fr<\\translation>\n"
       "<source>Open<\\source>\n  <translation lang=\"d_X\">Dx<\\translation>\n",
       "<source>Open<\\source>\n  <translation lang=\"fr\">Fr<\\translation>\n"
       "<source>Open<\\source>\n  <translation lang=\"d_X\">Dx<\\translation>\n"
       "  <translation lang=\"de_CH\">&lt;Neu&gt;<\\translation>\n", 0},
      {"adds a line after a last source line without line end, indented like the file",
       "<source>Save<\\source>\n    <translation lang=\"fr\">Fr<\\translation>\n"
       "<source>Open<\\source>",
       "<source>Save<\\source>\n    <translation lang=\"fr\">Fr<\\translation>\n"
       "<source>Open<\\source>\n    <translation lang=\"de_CH\">&lt;Neu&gt;<\\translation>", 0},
  };
  for (const auto& placement : cases) {
    SCOPED_TRACE(placement.name);
    spill(m_trx, placement.before);
    EXPECT_EQ(runFromPo({m_trx, m_po, ""}, m_out, m_err), placement.status) << m_err.str();
    EXPECT_EQ(slurp(m_trx), placement.after);
  }
}

// A file with lines of "de" and "de_DE": the de_DE reader takes the first
// line whose tag begins with "de" for each text, so no de_CH line can go
// anywhere that de_CH reads it without de_DE reading it too.
TEST_F(ZelTrx, FromPoRefusesAMergeThatChangesWhatAnotherLanguageReads) {
  const std::string dictionary =
      "<source>Open<\\source>\n"
      "  <translation lang=\"de_DE\">Öffnen<\\translation>\n"
      "  <translation lang=\"de\">Oeffnen<\\translation>\n"
      "<source>Save<\\source>\n"
      "  <translation lang=\"de\">Sichern<\\translation>\n"
      "  <translation lang=\"fr\">Enregistrer<\\translation>\n";
  spill(m_trx, dictionary);
  spill(m_po,
        "msgid \"\"\nmsgstr \"Language: de_CH\\n\"\n\n"
        "msgid \"Open\"\nmsgstr \"Aufmachen\"\n\nmsgid \"Save\"\nmsgstr \"Speichern\"\n");
  EXPECT_EQ(runFromPo({m_trx, m_po, ""}, m_out, m_err), 1);
  EXPECT_EQ(slurp(m_trx), dictionary);
  EXPECT_EQ(m_err.str(),
            m_po + ": error: the de_CH translation of \"Open\" cannot be merged without changing "
                   "what de_DE reads for it\n" +
                m_po + ": error: the de_CH translation of \"Save\" cannot be merged without "
                       "changing what de_DE reads for it\n" +
                m_trx + ": nothing was written: a merge never changes what another language "
                        "reads (a line of de_CH is a fallback line for the languages named)\n");
  EXPECT_EQ(m_out.str(), "");
  for (const fs::path& entry : fs::directory_iterator(m_dir)) {
    EXPECT_TRUE(entry == m_trx || entry == m_po) << entry;
  }

  // Where de_DE has a line of its own before any other, de_CH may follow it:
  // the de_DE reader and the de reader keep what they read.
  const std::string sharing =
      "<source>Open<\\source>\n"
      "  <translation lang=\"de\">Oeffnen<\\translation>\n"
      "<source>Save<\\source>\n"
      "  <translation lang=\"fr\">Enregistrer<\\translation>\n";
  spill(m_trx, sharing);
  spill(m_po, "msgid \"\"\nmsgstr \"Language: de_DE\\n\"\n\nmsgid \"Open\"\nmsgstr \"Öffnen\"\n");
  m_err.str("");
  EXPECT_EQ(runFromPo({m_trx, m_po, ""}, m_out, m_err), 0) << m_err.str();
  EXPECT_EQ(libraryReads(m_trx, "de"), (Entries{{"Open", "Oeffnen"}}));
  EXPECT_EQ(libraryReads(m_trx, "de_DE"), (Entries{{"Open", "Öffnen"}}));
}

// msgfmt -c rejects a translation whose %1 ... %9 differ from the source
// text's; so does from-po, message by message, whether or not the PO file
// flags the message qt-format.
TEST_F(ZelTrx, FromPoLeavesOutTranslationsWhoseTokensDiffer) {
  const std::string dictionary =
      "<source>Copy %1 to %2<\\source>\n<source>Delete %1<\\source>\n<source>Quit<\\source>\n";
  spill(m_trx, dictionary);
  spill(m_po,
        "msgid \"\"\nmsgstr \"Language: de_CH\\n\"\n\n"
        "#, qt-format\nmsgid \"Copy %1 to %2\"\nmsgstr \"%1 kopieren\"\n\n"
        "msgid \"Delete %1\"\nmsgstr \"%1 und %2 löschen\"\n\n"
        "msgid \"Quit\"\nmsgstr \"Beenden %1\"\n");
  EXPECT_EQ(runFromPo({m_trx, m_po, ""}, m_out, m_err), 1);
  EXPECT_EQ(slurp(m_trx), dictionary);
  for (const char* named : {"\"Copy %1 to %2\" not merged: msgfmt -c would reject it",
                            "\"Delete %1\" not merged: msgfmt -c would reject it",
                            "\"Quit\" not merged: msgfmt -c would reject it"}) {
    EXPECT_NE(m_err.str().find(m_po + ": warning: " + named), std::string::npos)
        << named << "\n" << m_err.str();
  }
  EXPECT_EQ(m_out.str(), m_trx + ": de_CH: 0 added, 0 replaced, 0 unchanged, 0 fuzzy not merged, "
                                 "0 untranslated, 3 not mergeable\n");
}

// Texts in messages: quoted, control and steering characters escaped, bytes
// that are not UTF-8 shown as such, long texts cut.
TEST(ZelTrxText, QuotesTextsSoThatATerminalShowsThemAsTheyAre) {
  const struct { std::string text, shown; } cases[] = {
      {"Datei & Ordner", "\"Datei & Ordner\""},
      {"a\"b\\c\n\t\r", "\"a\\\"b\\\\c\\n\\t\\r\""},
      {"\x1b[31mred\x1b[0m\x07", "\"\\x1b[31mred\\x1b[0m\\x07\""},
      {"\xc2\x9b" "2J \xe2\x80\xae" "evil", "\"\\u009b2J \\u202eevil\""},
      {"L\xe4nge \xfc", "\"L\\xe4nge \\xfc\""},
      {"Länge ü €", "\"Länge ü €\""},
      {std::string(100, 'x'), "\"" + std::string(kShownLength, 'x') + "\"... (100 bytes)"},
      {std::string(kShownLength, 'y'), "\"" + std::string(kShownLength, 'y') + "\""},
      {std::string(5 << 20, 'z'), "\"" + std::string(kShownLength, 'z') + "\"... (5242880 bytes)"},
  };
  for (const auto& example : cases) {
    SCOPED_TRACE(example.shown);
    EXPECT_EQ(quoted(example.text), example.shown);
  }
}

// A writer killed while it writes leaves no temporary that stays: the
// temporary has no name while written, and a named one whose writer is gone
// is removed by the next write beside the same file.
TEST_F(ZelTrx, LeavesNoTemporaryBehindWhenAWriterIsKilled) {
  const std::string old = "<source>Old<\\source>\n";
  spill(m_trx, old);
  const std::string big(64 << 20, 'n');
  for (int round = 0; round < 3; ++round) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
      ::close(ready[0]);
      (void)!::write(ready[1], "x", 1);
      replaceFile(m_trx, big);
      ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::kill(writer, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    // Killed or done: the file is whole, old or new.
    const std::string now = slurp(m_trx);
    EXPECT_TRUE(now == old || now == big) << now.size();
  }

  // A named temporary as a killed writer on this host leaves it, one of a
  // writer still running, and one of another host.
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
  struct utsname names {};
  ASSERT_EQ(::uname(&names), 0);
  std::string host = names.nodename;
  for (char& c : host) {
    if (c == '/' || static_cast<unsigned char>(c) <= ' ') c = '_';
  }
  const std::string prefix = temporaryPrefix(m_trx);
  const std::string stale = prefix + std::to_string(gone) + "-" + host + "-a1b2c3";
  const std::string running = prefix + std::to_string(::getppid()) + "-" + host + "-d4e5f6";
  const std::string elsewhere = prefix + std::to_string(gone) + "-other.host-g7h8i9";
  for (const std::string& name : {stale, running, elsewhere}) spill(name, "partial");

  replaceFile(m_trx, old);
  EXPECT_EQ(slurp(m_trx), old);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(running));
  EXPECT_TRUE(fs::exists(elsewhere));
  fs::remove(running);
  fs::remove(elsewhere);
  std::vector<std::string> left;
  for (const fs::path& entry : fs::directory_iterator(m_dir)) left.push_back(entry.filename());
  EXPECT_EQ(left, std::vector<std::string>{fs::path(m_trx).filename().string()});
}

// Writing to a symbolic link (or a chain of them, relative or absolute)
// replaces the file at its end and keeps every link; a dangling link gets its
// file. Permissions of the file replaced stay.
TEST_F(ZelTrx, WritesThroughSymbolicLinksToTheirFile) {
  fs::create_directories(m_dir / "real");
  const fs::path file = m_dir / "real" / "d.trx";
  spill(file, "old\n");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("real/d.trx", m_dir / "relative.trx");
  fs::create_symlink(m_dir / "relative.trx", m_dir / "absolute.trx");
  EXPECT_EQ(followLinks((m_dir / "absolute.trx").string()), (m_dir / "real/d.trx").string());

  replaceFile((m_dir / "absolute.trx").string(), "new\n");
  EXPECT_EQ(slurp(file), "new\n");
  EXPECT_TRUE(fs::is_symlink(m_dir / "relative.trx"));
  EXPECT_TRUE(fs::is_symlink(m_dir / "absolute.trx"));
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  fs::create_symlink("real/new.trx", m_dir / "dangling.trx");
  replaceFile((m_dir / "dangling.trx").string(), "created\n");
  EXPECT_EQ(slurp(m_dir / "real" / "new.trx"), "created\n");
  EXPECT_TRUE(fs::is_symlink(m_dir / "dangling.trx"));

  fs::create_symlink("loop.trx", m_dir / "loop.trx");
  EXPECT_THROW(replaceFile((m_dir / "loop.trx").string(), "x"), ToolError);
}

}  // namespace
}  // namespace zel::trxtool
