// The PO bridge against gettext's own tools: msgfmt, msgcmp and msgmerge.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "test_support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

class LexiqonPo : public ::testing::Test, protected testing_support::ScratchFolder {
 protected:
  void SetUp() override {
    // Quotation marks, markup, a line break, a printf-like percent and text
    // outside Latin-1.
    Write("en.txt",
          "\"$$$/Frontend/Title=Harlund Pellicor\"\r\n"
          "\"$$$/Frontend/Quote=Say \\\"hi\\\"\\nnow\"\r\n"
          "\"$$$/Frontend/Percent=100% done, #{euro}5\"\r\n"
          "\"$$$/Frontend/Wide=#{U+65E5}#{U+672C}\"\r\n");
    Write("fr.txt",
          "\"$$$/Frontend/Title=Harlund Pellicor (fr)\"\r\n"
          "\"$$$/Frontend/Quote=Dites ^[salut^]\"\r\n");
    ASSERT_EQ(Lexiqon("compile " + Path("en.txt") + " -o " + Path("en.dat")), 0);
    ASSERT_EQ(Lexiqon("compile " + Path("fr.txt") + " -o " + Path("fr.dat")), 0);
  }
  int Shell(const std::string& command) const {
    const int status = std::system(("timeout 20 " + command + " 2>>" + Path("stderr.txt")).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int Lexiqon(const std::string& arguments) const { return Shell(LEXIQON_BINARY " " + arguments); }
  std::string Lookups(const std::string& dictionary) const {
    const std::string out = Path("lookups.txt");
    EXPECT_EQ(Lexiqon("lookup --units -d " + dictionary +
                      " '$$$/Frontend/Title=t' '$$$/Frontend/Quote=q' '$$$/Frontend/Percent=p' "
                      "'$$$/Frontend/Wide=w' '$$$/Frontend/None=n' > " +
                      out),
              0);
    return Read("lookups.txt");
  }
};

TEST_F(LexiqonPo, ExportPassesMsgfmtAndMsgcmpAndCompilesBackToTheSameLookups) {
  ASSERT_EQ(Lexiqon("decompile " + Path("en.dat") + " --to po -o " + Path("en.po")), 0);
  EXPECT_EQ(Shell("msgfmt -c --check-format -o /dev/null " + Path("en.po")), 0)
      << Read("stderr.txt");
  EXPECT_EQ(Shell("msgcmp " + Path("en.po") + " " + Path("en.po")), 0) << Read("stderr.txt");
  ASSERT_EQ(Lexiqon("compile " + Path("en.po") + " -o " + Path("back.dat")), 0);
  EXPECT_EQ(Read("back.dat"), Read("en.dat"));
  EXPECT_EQ(Lookups(Path("back.dat")), Lookups(Path("en.dat")));
  // PO to dictionary to PO gives the same messages.
  ASSERT_EQ(Lexiqon("decompile " + Path("back.dat") + " --to po -o " + Path("again.po")), 0);
  EXPECT_EQ(Read("again.po"), Read("en.po"));
}

TEST_F(LexiqonPo, TranslationsSurviveMsgmergeWithAChangedTemplate) {
  ASSERT_EQ(Lexiqon("decompile " + Path("fr.dat") + " --to po --source " + Path("en.dat") + " -o " +
                    Path("fr.po")),
            0);
  // The template gains a key and loses none.
  Write("en2.txt", Read("en.txt") + "\"$$$/Frontend/New=Brand new\"\r\n");
  ASSERT_EQ(Lexiqon("compile " + Path("en2.txt") + " -o " + Path("en2.dat")), 0);
  ASSERT_EQ(Lexiqon("decompile " + Path("en2.dat") + " --to po --template -o " + Path("en.pot")),
            0);
  ASSERT_EQ(
      Shell("msgmerge -q -o " + Path("merged.po") + " " + Path("fr.po") + " " + Path("en.pot")), 0)
      << Read("stderr.txt");
  ASSERT_EQ(Lexiqon("compile --statistics " + Path("merged.po") + " -o " + Path("merged.dat")), 0);
  EXPECT_NE(Read("stderr.txt")
                .find("2 entries, 0 replaced keys, 3 untranslated and 0 fuzzy "
                      "messages left out."),
            std::string::npos)
      << Read("stderr.txt");
  EXPECT_EQ(Lexiqon("compare " + Path("merged.dat") + " " + Path("fr.dat")), 0);
}

TEST_F(LexiqonPo, FuzzyAndUntranslatedMessagesAreLeftOut) {
  Write("in.po",
        "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
        "msgctxt \"/a\"\nmsgid \"A\"\nmsgstr \"Ah\"\n\n"
        "#, fuzzy\nmsgctxt \"/b\"\nmsgid \"B\"\nmsgstr \"Beh\"\n\n"
        "msgctxt \"/c\"\nmsgid \"C\"\nmsgstr \"\"\n");
  ASSERT_EQ(Lexiqon("compile --statistics " + Path("in.po") + " -o " + Path("out.dat")), 0);
  EXPECT_NE(Read("stderr.txt").find("1 entries, 0 replaced keys, 1 untranslated and 1 fuzzy"),
            std::string::npos);
  EXPECT_EQ(Lexiqon("compare " + Path("out.dat") + " " + Path("in.po")), 0);
  EXPECT_EQ(Lexiqon("compare " + Path("out.dat") + " " + Path("en.dat")), 1);
  EXPECT_NE(Read("stderr.txt").find("key \"/a\" is not in " + Path("en.dat")), std::string::npos);
}

TEST_F(LexiqonPo, HeaderCharsetIsHonoured) {
  const std::string body = "msgctxt \"/Frontend/Title\"\nmsgid \"Title\"\nmsgstr \"";
  Write("latin1.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n" +
                         body + "Caf\xE9\"\n");
  Write("cyr.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=CP1251\\n\"\n\n" + body +
                      "\xC6\xE8\xE2\"\n");
  for (const char* name : {"latin1", "cyr"}) {
    ASSERT_EQ(Lexiqon("compile " + Path(std::string(name) + ".po") + " -o " + Path("out.dat")), 0)
        << Read("stderr.txt");
    ASSERT_EQ(Lexiqon("lookup -d " + Path("out.dat") + " '$$$/Frontend/Title=t' >> " +
                      Path("looked.txt")),
              0);
  }
  EXPECT_EQ(Read("looked.txt"), "Caf\xC3\xA9\n\xD0\x96\xD0\xB8\xD0\xB2\n");
  EXPECT_EQ(Read("stderr.txt"), "");
  Write("unknown.po",
        "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=NO-SUCH\\n\"\n\n" + body + "x\"\n");
  EXPECT_EQ(Lexiqon("compile " + Path("unknown.po") + " -o " + Path("out2.dat")), 2);
  EXPECT_NE(Read("stderr.txt")
                .find(Path("unknown.po") + ":1: error: unknown charset \"NO-SUCH\" in the header"),
            std::string::npos)
      << Read("stderr.txt");
}

TEST_F(LexiqonPo, MessagesADictionaryCannotHoldAreReportedAtTheirLines) {
  Write("in.po",
        "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"  // 1-3
        "msgctxt \"/files\"\nmsgid \"one file\"\nmsgid_plural \"%d files\"\n"    // 4-6
        "msgstr[0] \"un fichier\"\nmsgstr[1] \"%d fichiers\"\n\n"                // 7-9
        "msgctxt \"/a\"\nmsgid \"A\"\nmsgstr \"Ah\"\n\n"                         // 10-13
        "msgctxt \"/a\"\nmsgid \"Another A\"\nmsgstr \"Oh\"\n");                 // 14-16
  const std::string p = "lexiqon: " + Path("in.po");
  EXPECT_EQ(Lexiqon("compile --statistics " + Path("in.po") + " -o " + Path("out.dat")), 1);
  EXPECT_EQ(Read("stderr.txt"),
            p +
                ":4: error: plural message \"one file\": a dictionary holds one text per key "
                "(--plural-form N keeps form N); left out\n" +
                p +
                ":14: error: msgctxt \"/a\" is already at line 10; a dictionary keeps one "
                "text per key, so this message is left out\n" +
                p + ": error: 2 errors, so " + Path("out.dat") +
                " is not written (--force writes it anyway)\n");
  EXPECT_FALSE(fs::exists(Path("out.dat")));
  EXPECT_EQ(Lexiqon("check " + Path("in.po") + " > " + Path("verdict.txt")), 1);
  EXPECT_EQ(Read("verdict.txt"), Path("in.po") + ": invalid\n");
  // Keeping one form leaves only the repeated key.
  EXPECT_EQ(Lexiqon("compile --force --plural-form 1 " + Path("in.po") + " -o " + Path("out.dat")),
            1);
  EXPECT_EQ(
      Lexiqon("lookup -d " + Path("out.dat") + " '$$$/files=' '$$$/a=' > " + Path("looked.txt")),
      0);
  EXPECT_EQ(Read("looked.txt"), "%d fichiers\nAh\n");
  // Converting writes what it can, but a message left out is still a finding.
  EXPECT_EQ(Lexiqon("decompile --to po " + Path("in.po") + " -o " + Path("back.po")), 1);
  EXPECT_TRUE(fs::exists(Path("back.po")));
  EXPECT_EQ(Lexiqon("compare " + Path("in.po") + " " + Path("in.po")), 1);
  // Every command that reads the PO file keeps the same form.
  EXPECT_EQ(Lexiqon("lookup --plural-form 1 -d " + Path("in.po") + " '$$$/files=' '$$$/a=' > " +
                    Path("looked.txt")),
            1);
  EXPECT_EQ(Read("looked.txt"), "%d fichiers\nAh\n");
  // A program's catalog names no keys at all.
  Write("program.po", "msgid \"\"\nmsgstr \"\"\n\nmsgid \"Open\"\nmsgstr \"Ouvrir\"\n");
  fs::remove(Path("stderr.txt"));
  EXPECT_EQ(Lexiqon("compile " + Path("program.po") + " -o " + Path("out.dat")), 1);
  EXPECT_NE(Read("stderr.txt")
                .find("lexiqon: " + Path("program.po") +
                      ": error: no message has a msgctxt: lexiqon takes each dictionary key from "
                      "msgctxt (msgctxt \"/Frontend/Title\") and its text from msgstr\n"),
            std::string::npos);
  EXPECT_EQ(Read("stderr.txt").find("without msgctxt"), std::string::npos);
}

// The template that decompile writes is a dictionary of the source texts
// to every command that reads one.
TEST_F(LexiqonPo, EveryCommandReadsPoAndTemplateFiles) {
  ASSERT_EQ(Lexiqon("decompile " + Path("en.dat") + " --to po --template -o " + Path("en.pot")), 0);
  ASSERT_EQ(Lexiqon("decompile " + Path("fr.dat") + " --to po --source " + Path("en.dat") + " -o " +
                    Path("fr.po")),
            0);
  Write("fr-copy", Read("fr.po"));  // a PO file by its content alone
  ASSERT_EQ(Lexiqon("compile " + Path("en.pot") + " -o " + Path("en-pot.dat")), 0);
  EXPECT_EQ(Read("en-pot.dat"), Read("en.dat"));
  EXPECT_EQ(Lexiqon("compare " + Path("en.dat") + " " + Path("en.pot")), 0);
  EXPECT_EQ(Lexiqon("check " + Path("en.pot") + " " + Path("fr.po") + " " + Path("fr-copy") +
                    " > " + Path("verdict.txt")),
            0);
  EXPECT_EQ(Read("verdict.txt"), Path("en.pot") + ": valid\n" + Path("fr.po") + ": valid\n" +
                                     Path("fr-copy") + ": valid\n");
  EXPECT_EQ(Lookups(Path("en.pot")), Lookups(Path("en.dat")));
  EXPECT_EQ(Lookups(Path("fr-copy")), Lookups(Path("fr.dat")));
  EXPECT_EQ(Lexiqon("contains -d " + Path("fr.po") +
                    " '$$$/Frontend/Title' '$$$/Frontend/Wide' > " + Path("contains.txt")),
            0);
  EXPECT_EQ(Read("contains.txt"), "true\nfalse\n");
  EXPECT_EQ(Lexiqon("stats --json " + Path("fr.po") + " > " + Path("stats.txt")), 0);
  EXPECT_NE(Read("stats.txt").find("\"entries\": 2"), std::string::npos) << Read("stats.txt");
  // From a pipe and from a redirected file, which the library cannot read by name.
  ASSERT_EQ(
      Shell("cat " + Path("fr.po") + " | " LEXIQON_BINARY " compile - -o " + Path("piped.dat")), 0);
  EXPECT_EQ(Lookups(Path("piped.dat")), Lookups(Path("fr.dat")));
  EXPECT_EQ(Lexiqon("check --input-format po - < " + Path("fr.po") + " > " + Path("verdict.txt")),
            0);
  EXPECT_EQ(Read("verdict.txt"), "-: valid\n");
  ASSERT_EQ(Lexiqon("decompile " + Path("fr.po") + " -o " + Path("fr-back.txt")), 0);
  EXPECT_EQ(Lookups(Path("fr-back.txt")), Lookups(Path("fr.dat")));
  EXPECT_EQ(Read("stderr.txt"), "");
}

TEST_F(LexiqonPo, LanguageComesFromTheDictionarysFolder) {
  Directory("Dictionaries/fr_FR");
  fs::copy(Path("fr.dat"), Path("Dictionaries/fr_FR/lexdictionary.dat"));
  ASSERT_EQ(Lexiqon("decompile " + Path("Dictionaries/fr_FR/lexdictionary.dat") + " --to po -o " +
                    Path("fr.po")),
            0);
  EXPECT_NE(Read("fr.po").find("\"Language: fr_FR\\n\""), std::string::npos) << Read("fr.po");
  ASSERT_EQ(Lexiqon("decompile " + Path("fr.dat") + " --to po -o " + Path("plain.po")), 0);
  EXPECT_NE(Read("plain.po").find("\"Language: \\n\""), std::string::npos);
}

TEST_F(LexiqonPo, BrokenPoFileFailsWithItsLine) {
  Write("bad.po", "msgctxt \"/a\"\nmsgid \"A\nmsgstr \"x\"\n");
  EXPECT_EQ(Lexiqon("compile " + Path("bad.po") + " -o " + Path("out.dat")), 2);
  EXPECT_NE(Read("stderr.txt").find("lexiqon: " + Path("bad.po") + ":3: error:"), std::string::npos)
      << Read("stderr.txt");
  EXPECT_FALSE(fs::exists(Path("out.dat")));
}

}  // namespace
