#include "commands.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <boost/filesystem.hpp>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <fstream>
#include <sstream>

#include "test_support/scratch_folder.h"
#include "test_support/unprivileged_child.h"

namespace speedlauncher {
namespace {

namespace fs = boost::filesystem;
using testing_support::ScratchFolder;

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest() {
    tree_.Write("Stoven.dll", std::string(3000, 'x'));
    tree_.Write("vantilcrashhandler.dll", std::string(500, 'y'));
    tree_.Write("Dictionaries/fr_FR/lexdictionary.dat", std::string(40, 'z'));
    tree_.Write("Dictionaries/fr_FR/notes.txt", "ignored");
    WriteList(
        "<SpeedLauncher><Application name=\"pellicor\"><FileList>\n"
        "<File fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>\n"
        "<File fileRelativePath=\"missing.dll\" isForeground=\"1\"/>\n"
        "<File fileRelativePath=\"Dictionaries\" regex=\".*\\.dat\" isForeground=\"1\"/>\n"
        "<File fileRelativePath=\"vantilcrashhandler.dll\" isForeground=\"0\"/>\n"
        "</FileList></Application></SpeedLauncher>\n");
    options_.directory = tree_.Dir().string();
  }

  void WriteList(const std::string& text) { tree_.Write("SpeedLauncher-pellicor.xml", text); }
  std::string Path(const std::string& relative) const { return tree_.Path(relative); }
  boost::property_tree::ptree Json() {
    boost::property_tree::ptree json;
    std::istringstream text(out_.str());
    boost::property_tree::read_json(text, json);
    return json;
  }

  ScratchFolder tree_;
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

// What xargs -0 takes: the paths alone, each ended by NUL, in list order.
TEST_F(CommandsTest, ExpandNulSeparatedGivesPathsAloneAndSizesOnRequest) {
  options_.pathsOnly = options_.nulSeparated = true;
  ASSERT_EQ(RunExpand(options_, out_, errors_), 0) << errors_.str();
  const std::string expected = Path("Stoven.dll") + '\0' + Path("Dictionaries") +
                               "/fr_FR/lexdictionary.dat" + '\0' + Path("vantilcrashhandler.dll") +
                               '\0';
  EXPECT_EQ(out_.str(), expected);
  out_.str({});
  options_.pathsOnly = options_.nulSeparated = false;
  options_.perFile = true;
  ASSERT_EQ(RunExpand(options_, out_, errors_), 0);
  EXPECT_NE(out_.str().find("pellicor F 2.9 KiB " + Path("Stoven.dll") + "\n"), std::string::npos)
      << out_.str();
}

// Only foreground files are read; a listed file that is missing yields no
// item (check reports it), so warm neither counts nor fails on it.
TEST_F(CommandsTest, WarmSummaryCountsTheForegroundFilesRead) {
  options_.strict = true;
  ASSERT_EQ(RunWarm(options_, out_, errors_), 0) << errors_.str();
  EXPECT_NE(out_.str().find("files read:        2\n"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("could not open:    0\n"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("bytes read:        3.0 KiB\n"), std::string::npos) << out_.str();
  EXPECT_EQ(errors_.str(), "");
}

// A file named twice is read twice but its bytes are unique once.
TEST_F(CommandsTest, WarmJsonIsOneObjectWithEveryField) {
  WriteList(
      "<L><Application name=\"pellicor\"><FileList>"
      "<File fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>"
      "<File fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>"
      "</FileList></Application></L>");
  options_.json = true;
  ASSERT_EQ(RunWarm(options_, out_, errors_), 0) << errors_.str();
  const boost::property_tree::ptree json = Json();
  EXPECT_EQ(json.get<int>("files_read"), 2);
  EXPECT_EQ(json.get<int>("files_not_opened"), 0);
  EXPECT_EQ(json.get<int>("walk_errors"), 0);
  EXPECT_EQ(json.get<int>("bytes"), 6000);
  EXPECT_EQ(json.get<int>("unique_bytes"), 3000);
  EXPECT_GE(json.get<double>("seconds"), 0.0);
  EXPECT_GE(json.get<double>("bytes_per_second"), 0.0);
}

// As an ordinary user: an unreadable file and an unreadable folder are
// both counted, named with the system's reason, and fail --strict.
int WarmAsUnprivileged(const Options& options) {
  std::ostringstream out, errors;
  const int status = RunWarm(options, out, errors);
  const std::string text = out.str() + errors.str();
  const bool right =
      status == 1 && text.find("files read:        1\n") != std::string::npos &&
      text.find("could not open:    1\n") != std::string::npos &&
      text.find("walk errors:       1\n") != std::string::npos &&
      text.find("secret.dll: warning: cannot open: Permission denied") != std::string::npos &&
      text.find("locked: warning: cannot walk: Permission denied") != std::string::npos;
  if (!right) std::cerr << "status " << status << ":\n" << text;
  return right ? 0 : 1;
}

TEST_F(CommandsTest, WarmCountsWhatAnOrdinaryUserCannotRead) {
  tree_.Write("secret.dll", "s");
  tree_.Write("locked/hidden.dll", "h");
  WriteList(
      "<L><Application name=\"pellicor\"><FileList>"
      "<File fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>"
      "<File fileRelativePath=\"secret.dll\" isForeground=\"1\"/>"
      "<File fileRelativePath=\"locked\" isForeground=\"1\"/>"
      "</FileList></Application></L>");
  fs::permissions(Path("secret.dll"), fs::owner_read);
  fs::permissions(Path("locked"), fs::no_perms);
  options_.strict = true;
  const Options options = options_;
  const int result = SpeedLauncher::testing::RunUnprivileged([&options] {
    return std::ifstream(options.directory + "/secret.dll").is_open()
               ? SpeedLauncher::testing::kUnprivilegedUnavailable
               : WarmAsUnprivileged(options);
  });
  fs::permissions(Path("locked"), fs::owner_all);
  if (result == SpeedLauncher::testing::kUnprivilegedUnavailable) {
    GTEST_SKIP() << "permissions do not apply here";
  }
  EXPECT_EQ(result, 0);
}

// Written and flushed to disk, so that the cache holds clean pages that
// can be dropped.
void WriteStored(const std::string& path, std::size_t size) {
  std::ofstream(path, std::ios::binary) << std::string(size, 'c');
  const int fd = open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  fdatasync(fd);
  close(fd);
}

TEST_F(CommandsTest, EvictThenResidentShowsLessInTheCache) {
  WriteStored(Path("Stoven.dll"), 4 << 20);
  ASSERT_EQ(RunWarm(options_, out_, errors_), 0);
  options_.json = true;
  out_.str({});
  ASSERT_EQ(RunResident(options_, out_, errors_), 0) << errors_.str();
  const auto before = Json().get<std::uint64_t>("cached_bytes");
  EXPECT_GE(before, std::uint64_t{4} << 20);
  out_.str({});
  ASSERT_EQ(RunEvict(options_, out_, errors_), 0) << errors_.str();
  out_.str({});
  ASSERT_EQ(RunResident(options_, out_, errors_), 0);
  const boost::property_tree::ptree after = Json();
  EXPECT_LT(after.get<std::uint64_t>("cached_bytes"), before);
  EXPECT_EQ(after.get<int>("files"), 2);  // Stoven.dll and the dictionary
}

TEST_F(CommandsTest, UnloadableListFailsWithItsName) {
  WriteList("<SpeedLauncher><Application>");
  EXPECT_EQ(RunWarm(options_, out_, errors_), 1);
  EXPECT_EQ(RunExpand(options_, out_, errors_), 1);
  EXPECT_NE(errors_.str().find("speedlauncher: " + Path("SpeedLauncher-pellicor.xml") +
                               ": error: cannot load the list"),
            std::string::npos)
      << errors_.str();
  EXPECT_TRUE(out_.str().empty());
}

// The program opens two of the three files below the list's folder (and a
// file for writing); the list names exactly those two, in opening order,
// relative to its folder, and expands back to them.
TEST_F(CommandsTest, RecordListsTheFilesTheProgramOpenedAndOnlyThose) {
  tree_.Write("rec/b.dat", "b");
  tree_.Write("rec/sub/a.dat", "a");
  tree_.Write("rec/unopened.dat", "u");
  options_.output = Path("rec/recorded.xml");
  options_.program = {"sh", "-c", "cat b.dat sub/a.dat b.dat >written.dat"};
  const fs::path before = fs::current_path();
  fs::current_path(Path("rec"));
  const int status = RunRecord(options_, out_, errors_);
  fs::current_path(before);
  ASSERT_EQ(status, 0) << errors_.str();
  const std::string list = tree_.Read("rec/recorded.xml");
  const std::size_t b = list.find("fileRelativePath=\"b.dat\" isForeground=\"1\"");
  const std::size_t a = list.find("fileRelativePath=\"sub/a.dat\" isForeground=\"1\"");
  EXPECT_NE(b, std::string::npos) << list;
  EXPECT_NE(a, std::string::npos) << list;
  EXPECT_LT(b, a) << list;
  EXPECT_EQ(list.find("\"b.dat\"", b + 20), std::string::npos) << list;  // once, though read twice
  EXPECT_EQ(list.find("unopened"), std::string::npos) << list;
  EXPECT_EQ(list.find("written"), std::string::npos) << list;
  EXPECT_EQ(list.find(tree_.Dir().string()), std::string::npos) << list;

  Options expand;
  expand.listFile = options_.output;
  expand.directory = Path("rec");
  expand.pathsOnly = true;
  std::ostringstream paths;
  ASSERT_EQ(RunExpand(expand, paths, errors_), 0) << errors_.str();
  const std::string text = paths.str();
  EXPECT_NE(text.find(Path("rec") + "/b.dat\n" + Path("rec") + "/sub/a.dat\n"), std::string::npos)
      << text;
  // Nothing else below the tree: what lies outside it is the loader's.
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(tree_.Dir().string(), 0) != 0) continue;
    EXPECT_TRUE(line == Path("rec") + "/b.dat" || line == Path("rec") + "/sub/a.dat") << line;
  }
}

ParsedCommandLine Parse(std::vector<const char*> words, std::ostream& out, std::ostream& errors) {
  words.insert(words.begin(), "speedlauncher");
  return ParseCommandLine(static_cast<int>(words.size()), words.data(), out, errors);
}

TEST(CommandLineTest, HelpUsageErrorsAndBothOptionForms) {
  std::ostringstream out, errors;
  ParsedCommandLine parsed = Parse({"warm", "--help"}, out, errors);
  EXPECT_EQ(parsed.exitStatus, 0);
  EXPECT_FALSE(parsed.options);
  EXPECT_NE(out.str().find("--strict"), std::string::npos) << out.str();
  EXPECT_EQ(errors.str(), "");

  out.str({});
  parsed = Parse({"warm", "--mode", "five"}, out, errors);
  EXPECT_EQ(parsed.exitStatus, 2);
  EXPECT_EQ(out.str(), "");
  const std::string message = errors.str();
  EXPECT_EQ(message.rfind("speedlauncher: ", 0), 0u) << message;
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 2) << message;
  EXPECT_NE(message.find("Try 'speedlauncher --help'"), std::string::npos) << message;

  for (const auto& words : {std::vector<const char*>{"expand", "--mode=3", "-0"},
                            std::vector<const char*>{"expand", "--mode", "3", "-0"}}) {
    parsed = Parse(words, out, errors);
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->mode, 3u);
    EXPECT_TRUE(parsed.options->pathsOnly && parsed.options->nulSeparated);
  }
  parsed = Parse({"record", "-o", "x.xml", "--", "cat", "--help"}, out, errors);
  ASSERT_TRUE(parsed.options);
  EXPECT_EQ(parsed.options->program, (std::vector<std::string>{"cat", "--help"}));
}

}  // namespace
}  // namespace speedlauncher
