#include "tools/speedlauncher/list_check.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <fstream>

namespace speedlauncher {
namespace {

namespace fs = boost::filesystem;

class ListCheckTest : public ::testing::Test {
 protected:
  ListCheckTest() : root_(fs::temp_directory_path() / fs::unique_path("list-check-%%%%-%%%%")) {
    fs::create_directories(root_ / "Dictionaries" / "en_US");
    Write("Stoven.dll", "x");
    Write("Dictionaries/en_US/lexdictionary.dat", "x");
  }
  ~ListCheckTest() override { fs::remove_all(root_); }

  void Write(const std::string& relative, const std::string& text) {
    std::ofstream((root_ / relative).string(), std::ios::binary) << text;
  }
  std::vector<Finding> Check(const std::string& list) {
    Write("list.xml", list);
    return CheckListFile((root_ / "list.xml").string(), root_.string());
  }

  fs::path root_;
};

TEST_F(ListCheckTest, CleanListHasNoFindings) {
  EXPECT_TRUE(Check("<R><Application name=\"pellicor\"><FileList>\n"
                    "<File fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>\n"
                    "<File fileRelativePath=\"Dictionaries\" regex=\".*\\.dat\"/>\n"
                    "</FileList></Application></R>")
                  .empty());
}

TEST_F(ListCheckTest, EveryProblemIsReportedOnItsLine) {
  const std::vector<Finding> findings = Check(
      "<R>\n"
      "<Application name=\"pellicor\" colour=\"red\"><FileList>\n"
      "<File fileRelativePath=\"Stoven.dll\" isForground=\"1\"/>\n"
      "<File isForeground=\"1\"/>\n"
      "<File fileRelativePath=\"Stoven.dll\" fileStandardPath=\"Fonts\"/>\n"
      "<File fileRelativePath=\"Dictionaries\" regex=\"(\"/>\n"
      "<File fileRelativePath=\"missing.dll\"/>\n"
      "<File fileRelativePath=\"Dictionaries\" regex=\"dat\"/>\n"
      "</FileList></Application>\n"
      "<Application name=\"Pellicor\"/>\n"
      "<Application/>\n"
      "</R>\n");
  std::vector<std::pair<int, std::string>> got;
  for (const Finding& finding : findings) got.emplace_back(finding.line, finding.message);
  const std::string base = root_.string();
  const std::vector<std::pair<int, std::string>> expected = {
      {2, "unknown attribute \"colour\""},
      {3, "unknown attribute \"isForground\""},
      {4, "entry without a path"},
      {5, "unknown keyword \"Fonts\""},
      {6, "invalid regular expression \"(\""},
      {7, "path does not exist: " + base + "/missing.dll"},
      {8, "pattern matches nothing below " + base + "/Dictionaries"},
      {10, "section with unknown name \"Pellicor\""},
      {11, "section without a name"},
  };
  EXPECT_EQ(got, expected);
}

TEST_F(ListCheckTest, UnreadableListIsOneFinding) {
  const std::vector<Finding> findings = Check("<R><Application>");
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_NE(findings[0].message.find("not a list file"), std::string::npos);
}

}  // namespace
}  // namespace speedlauncher
