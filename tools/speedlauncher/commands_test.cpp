#include "tools/speedlauncher/commands.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <fstream>
#include <sstream>

namespace speedlauncher {
namespace {

namespace fs = boost::filesystem;

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest() : root_(fs::temp_directory_path() / fs::unique_path("sl-commands-%%%%-%%%%")) {
    fs::create_directories(root_ / "Dictionaries" / "fr_FR");
    Write("Stoven.dll", std::string(3000, 'x'));
    Write("vantilcrashhandler.dll", std::string(500, 'y'));
    Write("Dictionaries/fr_FR/lexdictionary.dat", std::string(40, 'z'));
    Write("Dictionaries/fr_FR/notes.txt", "ignored");
    Write("SpeedLauncher-pellicor.xml",
          "<SpeedLauncher><Application name=\"pellicor\"><FileList>\n"
          "<File fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>\n"
          "<File fileRelativePath=\"missing.dll\" isForeground=\"1\"/>\n"
          "<File fileRelativePath=\"Dictionaries\" regex=\".*\\.dat\" isForeground=\"1\"/>\n"
          "<File fileRelativePath=\"vantilcrashhandler.dll\" isForeground=\"0\"/>\n"
          "</FileList></Application></SpeedLauncher>\n");
    options_.directory = root_.string();
  }
  ~CommandsTest() override { fs::remove_all(root_); }

  void Write(const std::string& relative, const std::string& text) {
    std::ofstream((root_ / relative).string(), std::ios::binary) << text;
  }
  std::string Path(const std::string& relative) const {
    return options_.directory + "/" + relative;
  }

  fs::path root_;
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
  Write("SpeedLauncher-pellicor.xml", "<SpeedLauncher><Application>");
  EXPECT_EQ(RunWarm(options_, out_, errors_), 1);
  EXPECT_EQ(RunExpand(options_, out_, errors_), 1);
  EXPECT_NE(errors_.str().find("cannot load the list file " + Path("SpeedLauncher-pellicor.xml")),
            std::string::npos)
      << errors_.str();
  EXPECT_TRUE(out_.str().empty());
}

}  // namespace
}  // namespace speedlauncher
