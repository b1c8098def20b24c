#include "tools/speedlauncher/commands.h"

#include <gtest/gtest.h>

#include <sstream>

#include "prefetch/lists/temp_tree.h"

namespace speedlauncher {
namespace {

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest() {
    tree_.File("Stoven.dll", std::string(3000, 'x'));
    tree_.File("vantilcrashhandler.dll", std::string(500, 'y'));
    tree_.File("Dictionaries/fr_FR/lexdictionary.dat", std::string(40, 'z'));
    tree_.File("Dictionaries/fr_FR/notes.txt", "ignored");
    WriteList(
        "<SpeedLauncher><Application name=\"pellicor\"><FileList>\n"
        "<File fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>\n"
        "<File fileRelativePath=\"missing.dll\" isForeground=\"1\"/>\n"
        "<File fileRelativePath=\"Dictionaries\" regex=\".*\\.dat\" isForeground=\"1\"/>\n"
        "<File fileRelativePath=\"vantilcrashhandler.dll\" isForeground=\"0\"/>\n"
        "</FileList></Application></SpeedLauncher>\n");
    options_.directory = tree_.Root().string();
  }

  void WriteList(const std::string& text) { tree_.File("SpeedLauncher-pellicor.xml", text); }
  std::string Path(const std::string& relative) const { return tree_.Path(relative); }

  SpeedLauncher::testing::TempTree tree_;
  Options options_;
  std::ostringstream out_, errors_;
};

TEST_F(CommandsTest, ExpandPrintsEachFileWithItsListAndReadingOrder) {
  ASSERT_EQ(RunExpand(options_, out_, errors_), 0) << errors_.str();
  const std::string text = out_.str();
  EXPECT_NE(text.find("pellicor F " + Path("Stoven.dll") + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("pellicor F " + Path("Dictionaries") + "/fr_FR/lexdictionary.dat\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("pellicor B " + Path("vantilcrashhandler.dll") + "\n"), std::string::npos)
      << text;
  EXPECT_EQ(text.find("notes.txt"), std::string::npos) << text;
}

// Only foreground files are read, and a listed file that is missing is
// neither counted nor fatal.
TEST_F(CommandsTest, WarmReadsTheForegroundFilesThatExist) {
  ASSERT_EQ(RunWarm(options_, out_, errors_), 0) << errors_.str();
  EXPECT_EQ(out_.str().rfind("files 2, bytes 3040, seconds ", 0), 0u) << out_.str();
}

TEST_F(CommandsTest, UnloadableListFailsWithItsName) {
  WriteList("<SpeedLauncher><Application>");
  EXPECT_EQ(RunWarm(options_, out_, errors_), 1);
  EXPECT_EQ(RunExpand(options_, out_, errors_), 1);
  EXPECT_NE(errors_.str().find("cannot load the list file " + Path("SpeedLauncher-pellicor.xml")),
            std::string::npos)
      << errors_.str();
  EXPECT_TRUE(out_.str().empty());
}

}  // namespace
}  // namespace speedlauncher
