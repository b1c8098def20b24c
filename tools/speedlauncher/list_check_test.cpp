#include "list_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <boost/filesystem.hpp>
#include <fstream>
#include <tuple>

#include "prefetch/lists/list_file.h"
#include "test_support/scratch_folder.h"
#include "test_support/unprivileged_child.h"

namespace speedlauncher {
namespace {

namespace fs = boost::filesystem;
using testing_support::ScratchFolder;
using Found = std::tuple<int, Severity, std::string>;

class ListCheckTest : public ::testing::Test {
 protected:
  ListCheckTest() {
    tree_.Write("Stoven.dll");
    tree_.Write("Dictionaries/en_US/lexdictionary.dat");
  }

  std::vector<Found> Check(const std::string& list, std::uint32_t mode = 5) {
    tree_.Write("list.xml", list);
    std::vector<Found> found;
    for (const Finding& finding : CheckListFile(tree_.Path("list.xml"), Base(), mode)) {
      found.emplace_back(finding.line, finding.severity, finding.message);
    }
    return found;
  }
  std::string Base() const { return tree_.Dir().string(); }

  ScratchFolder tree_;
};

constexpr Severity kError = Severity::kError;
constexpr Severity kWarning = Severity::kWarning;

TEST_F(ListCheckTest, CleanListHasNoFindings) {
  EXPECT_EQ(Check("<R><Application name=\"pellicor\"><FileList>\n"
                  "<File fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>\n"
                  "<File fileRelativePath=\"Dictionaries\" regex=\".*\\.dat\"/>\n"
                  "</FileList></Application></R>"),
            std::vector<Found>{});
}

TEST_F(ListCheckTest, SectionsTheLauncherSkipsOrNeverReads) {
  EXPECT_EQ(
      Check("<R>\n"
            "<Application name=\"Pellicor\" colour=\"red\"/>\n"
            "<Application/>\n"
            "<Application name=\"viewer\"/>\n"
            "<Application name=\"common\"><FileList>\n"
            "<File fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>\n"
            "</FileList></Application>\n"
            "</R>\n"),
      (std::vector<Found>{
          {2, kError,
           "section \"Pellicor\" is skipped: names are compared with case; did you mean "
           "\"pellicor\"?"},
          {3, kError, "section without a name: skipped"},
          {4, kError, "section with unknown name \"viewer\": skipped"},
          {6, kWarning, "foreground entry in the \"common\" list, which mode 5 never reads"},
          {0, kError, "no section for the \"pellicor\" list, which mode 5 reads: nothing is read"},
      }));
  // Mode 3 reads "tarn": a foreground "pellicor" entry is read by no one.
  EXPECT_EQ(
      Check("<R><Application name=\"tarn\"/><Application name=\"pellicor\"><FileList>\n"
            "<File fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>\n"
            "</FileList></Application></R>",
            3),
      (std::vector<Found>{
          {2, kWarning, "foreground entry in the \"pellicor\" list, which mode 3 never reads"},
      }));
}

TEST_F(ListCheckTest, EntriesThatAreMisreadOrYieldNothing) {
  EXPECT_EQ(
      Check("<R><Application name=\"pellicor\"><FileList>\n"
            "<File fileRelativePath=\"Stoven.dll\" isForground=\"1\"/>\n"
            "<File isForeground=\"1\"/>\n"
            "<File fileRelativePath=\"Stoven.dll\" isForeground=\"yes\"/>\n"
            "<File fileRelativePath=\"Dictionaries\" fileStandardPath=\"Fonts\"/>\n"
            "<File fileRelativePath=\"Dictionaries\" regex=\"(\"/>\n"
            "<File fileRelativePath=\"missing.dll\"/>\n"
            "<File fileRelativePath=\"Dictionaries\" regex=\"dat\"/>\n"
            "<File fileRelativePath=\"Stoven.dll\" regex=\".*\\.exe\"/>\n"
            "<File fileRelativePath=\"Stoven.dll\" fileBasePath=\"relative/..\"/>\n"
            "</FileList></Application></R>"),
      (std::vector<Found>{
          {2, kWarning, "unknown attribute \"isForground\" is ignored"},
          {3, kWarning, "entry names no path: it yields nothing"},
          {4, kWarning, "isForeground \"yes\" does not start with a number: read as background"},
          {5, kWarning, "unknown keyword \"Fonts\" has no effect"},
          {6, kError, "invalid regular expression \"(\": entry yields nothing"},
          {7, kError, "cannot read " + Base() + "/missing.dll: No such file or directory"},
          {8, kWarning, "pattern selects nothing below " + Base() + "/Dictionaries"},
          {9, kWarning, "regex is ignored: the entry names a single file"},
          {10, kWarning, "relative fileBasePath \"relative/..\" depends on the current folder"},
          {10, kError, "cannot read relative/../Stoven.dll: No such file or directory"},
      }));
}

TEST_F(ListCheckTest, SameFileTwiceIsReadTwice) {
  EXPECT_EQ(Check("<R><Application name=\"pellicor\"><FileList>\n"
                  "<File fileRelativePath=\"Dictionaries\" isForeground=\"1\"/>\n"
                  "<File fileRelativePath=\"Dictionaries/en_US/lexdictionary.dat\" "
                  "isForeground=\"1\"/>\n"
                  "</FileList></Application></R>"),
            (std::vector<Found>{
                {3, kWarning,
                 Base() + "/Dictionaries/en_US/lexdictionary.dat is also named on line 2: it is "
                          "read twice"},
            }));
}

// What the launcher drops without a word: an element in the wrong case,
// elements before the first section or entry, a second FileList, and the
// elements it reads under another name.
TEST_F(ListCheckTest, StructuresTheLauncherDropsAreNamedByLine) {
  EXPECT_EQ(
      Check("<R>\n"
            "<application name=\"pellicor\"/>\n"
            "<Notes/>\n"
            "<Application name=\"pellicor\">\n"
            "<Filelist/>\n"
            "<FileList>\n"
            "<file fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>\n"
            "<Entry fileRelativePath=\"Stoven.dll\"/>\n"
            "<File fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>\n"
            "<file fileRelativePath=\"Dictionaries\"/>\n"
            "</FileList>\n"
            "<FileList><File fileRelativePath=\"Stoven.dll\"/></FileList>\n"
            "</Application>\n"
            "<Section name=\"common\"/>\n"
            "</R>\n"),
      (std::vector<Found>{
          {2, kError,
           "<application> is skipped: element names are compared with case; did you mean "
           "<Application>?"},
          {3, kWarning, "<Notes> before the first <Application> is skipped"},
          {5, kError,
           "<Filelist> is ignored: element names are compared with case; did you mean "
           "<FileList>?"},
          {12, kError,
           "a second <FileList> is ignored: a section reads only its first, so its entries are "
           "not read"},
          {7, kError,
           "<file> is skipped: element names are compared with case; did you mean <File>?"},
          {8, kError, "<Entry> before the first <File> is skipped"},
          {10, kWarning, "<file> is read as an entry: every element after the first <File> is one"},
          {14, kWarning,
           "<Section> is read as a section: every element after the first <Application> is one"},
      }));
}

// Two spellings of one file, and a link to it, are the one file read
// twice; a folder reached through a link is not entered.
TEST_F(ListCheckTest, OneFileUnderTwoNamesAndLinkedFolders) {
  fs::create_symlink(tree_.Path("Stoven.dll"), tree_.Path("Alias.dll"));
  fs::create_directory_symlink(tree_.Path("Dictionaries/en_US"), tree_.Path("Dictionaries/linked"));
  EXPECT_EQ(Check("<R><Application name=\"pellicor\"><FileList>\n"
                  "<File fileRelativePath=\"./Stoven.dll\" isForeground=\"1\"/>\n"
                  "<File fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>\n"
                  "<File fileRelativePath=\"Alias.dll\" isForeground=\"1\"/>\n"
                  "<File fileRelativePath=\"Dictionaries\" regex=\".*/en_US/.*\"/>\n"
                  "</FileList></Application></R>"),
            (std::vector<Found>{
                {3, kWarning,
                 Base() + "/Stoven.dll is also named on line 2 as " + Base() +
                     "/./Stoven.dll: it is read twice"},
                {4, kWarning,
                 Base() + "/Alias.dll is also named on line 2 as " + Base() +
                     "/./Stoven.dll: it is read twice"},
                {5, kWarning,
                 Base() + "/Dictionaries/linked is a folder reached through a link: it is not "
                          "entered"},
            }));
}

// The system's reasons: a FIFO, a list that is not UTF-8 (with its line),
// a list that is not there.
TEST_F(ListCheckTest, ReasonsAreTheSystems) {
  ASSERT_EQ(mkfifo(tree_.Path("pipe").c_str(), 0600), 0);
  EXPECT_EQ(
      Check("<R><Application name=\"pellicor\"><FileList>\n"
            "<File fileRelativePath=\"pipe\" isForeground=\"1\"/>\n"
            "</FileList></Application></R>"),
      (std::vector<Found>{{2, kError, "cannot read " + Base() + "/pipe: not a regular file"}}));
  EXPECT_EQ(
      Check("<R>\n<Application name=\"pellicor\">\r\n<!-- caf\xe9 -->\n</Application></R>"),
      (std::vector<Found>{
          {3, kError, "not a list file: not UTF-8 (\\xe9), so the launcher reads none of it"}}));
  EXPECT_EQ(CheckListFile(tree_.Path("absent.xml"), Base(), 5).at(0).message,
            "cannot open the list: No such file or directory");
  // Readable here, but not by the launcher, whose list name goes through UTF-16.
  tree_.Write("caf\xe9/list.xml", "<R><Application name=\"pellicor\"/></R>");
  EXPECT_EQ(CheckListFile(tree_.Path("caf\xe9/list.xml"), Base(), 5).at(0).message,
            "cannot be loaded: its path is not UTF-8, so the launcher cannot open it");
}

TEST_F(ListCheckTest, UnreadableListIsOneFinding) {
  const std::vector<Found> found = Check("<R><Application>");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(std::get<1>(found[0]), kError);
  EXPECT_NE(std::get<2>(found[0]).find("not a list file"), std::string::npos);

  // Nesting that would exhaust the parser's stack is refused, not followed;
  // quoted "/>" and comments do not count.
  std::string deep = "<R>";
  for (int i = 0; i < 200000; ++i) deep += "<a>";
  EXPECT_EQ(Check(deep),
            (std::vector<Found>{
                {0, kError,
                 "not a list file: elements nested more than 1000 deep, which the launcher "
                 "refuses"}}));
  std::string flat = "<R><Application name=\"pellicor\"><FileList>";
  for (int i = 0; i < 2000; ++i) flat += "<File regex=\"a/>\" isForeground='>'/><!-- <a> -->";
  EXPECT_FALSE(SpeedLauncher::NestsTooDeeply(flat + "</FileList></Application></R>"));
}

// As an ordinary user: a file that cannot be opened and a folder that
// cannot be walked, each with the system's reason.
TEST_F(ListCheckTest, WhatTheCurrentUserCannotRead) {
  tree_.Write("secret.dll");
  tree_.Write("locked/hidden.dll");
  tree_.Write("list.xml",
              "<R><Application name=\"pellicor\"><FileList>\n"
              "<File fileRelativePath=\"secret.dll\" isForeground=\"1\"/>\n"
              "<File fileRelativePath=\"locked\" isForeground=\"1\"/>\n"
              "<File fileRelativePath=\"locked/hidden.dll\" isForeground=\"1\"/>\n"
              "</FileList></Application></R>");
  fs::permissions(tree_.Path("secret.dll"), fs::owner_read);
  fs::permissions(tree_.Path("locked"), fs::no_perms);
  const std::string list = tree_.Path("list.xml");
  const std::string base = Base();
  const int result = SpeedLauncher::testing::RunUnprivileged([&] {
    if (std::ifstream(base + "/secret.dll").is_open()) {
      return SpeedLauncher::testing::kUnprivilegedUnavailable;
    }
    std::vector<Found> found;
    for (const Finding& f : CheckListFile(list, base, 5)) {
      found.emplace_back(f.line, f.severity, f.message);
    }
    const std::vector<Found> expected = {
        {2, kError, "cannot read " + base + "/secret.dll: Permission denied"},
        {3, kError, "cannot read " + base + "/locked: Permission denied; the entry yields nothing"},
        {4, kError,
         "cannot read " + base + "/locked/hidden.dll: Permission denied; the entry yields nothing"},
    };
    if (found == expected) return 0;
    for (const Found& f : found) std::cerr << std::get<0>(f) << ' ' << std::get<2>(f) << '\n';
    return 1;
  });
  fs::permissions(tree_.Path("locked"), fs::owner_all);
  if (result == SpeedLauncher::testing::kUnprivilegedUnavailable) {
    GTEST_SKIP() << "permissions do not apply here";
  }
  EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace speedlauncher
