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

TEST_F(LexiqonPo, BrokenPoFileFailsWithItsLine) {
  Write("bad.po", "msgctxt \"/a\"\nmsgid \"A\nmsgstr \"x\"\n");
  EXPECT_EQ(Lexiqon("compile " + Path("bad.po") + " -o " + Path("out.dat")), 2);
  EXPECT_NE(Read("stderr.txt").find("lexiqon: " + Path("bad.po") + ":3: error:"), std::string::npos)
      << Read("stderr.txt");
  EXPECT_FALSE(fs::exists(Path("out.dat")));
}

}  // namespace
