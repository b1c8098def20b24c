#include "commands.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <boost/filesystem.hpp>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <chrono>
#include <csignal>
#include <fstream>
#include <iostream>
#include <sstream>

#include "report_text.h"
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

// "--list -": the list from standard input, entries from the given folder.
TEST_F(CommandsTest, ExpandReadsTheListFromStandardInput) {
  std::istringstream list(tree_.Read("SpeedLauncher-pellicor.xml"));
  std::streambuf* const before = std::cin.rdbuf(list.rdbuf());
  options_.listFile = "-";
  options_.pathsOnly = true;
  const int status = RunExpand(options_, out_, errors_);
  std::cin.rdbuf(before);
  ASSERT_EQ(status, 0) << errors_.str();
  EXPECT_EQ(out_.str().find(Path("Stoven.dll") + "\n"), 0u) << out_.str();
}

// Only foreground files are read; a listed file that is missing, which
// the launcher passes over in silence, is named and fails --strict.
TEST_F(CommandsTest, WarmSummaryCountsTheForegroundFilesRead) {
  ASSERT_EQ(RunWarm(options_, out_, errors_), 0) << errors_.str();
  options_.strict = true;
  out_.str({});
  errors_.str({});
  ASSERT_EQ(RunWarm(options_, out_, errors_), 1) << errors_.str();
  EXPECT_NE(out_.str().find("files read:        2\n"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("could not open:    1\n"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("bytes read:        3.0 KiB\n"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find(" ms\n"), std::string::npos) << out_.str();
  EXPECT_EQ(errors_.str(), "speedlauncher: " + Path("missing.dll") +
                               ": warning: not read: No such file or directory\n");
}

// A file named twice, under two spellings, is read twice but its bytes are
// unique once.
TEST_F(CommandsTest, WarmJsonIsOneObjectWithEveryField) {
  WriteList(
      "<L><Application name=\"pellicor\"><FileList>"
      "<File fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>"
      "<File fileRelativePath=\"./Stoven.dll\" isForeground=\"1\"/>"
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
      text.find("locked: error: cannot walk: Permission denied") != std::string::npos;
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

  // Pages in use stay in the cache: evict says so rather than claim them.
  const int fd = open(Path("Stoven.dll").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  void* mapping = mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 0);
  close(fd);
  ASSERT_NE(mapping, MAP_FAILED);
  EXPECT_EQ(*static_cast<volatile const char*>(mapping), 'c');
  out_.str({});
  EXPECT_EQ(RunEvict(options_, out_, errors_), 0) << errors_.str();
  munmap(mapping, 4096);
  // Read-ahead around the mapped page may keep more than that page.
  EXPECT_EQ(out_.str().rfind("evicted 2 of 2 files; still cached: ", 0), 0u) << out_.str();
  EXPECT_NE(out_.str().find(" in 1 file (in use, or written and not yet stored)\n"),
            std::string::npos)
      << out_.str();
}

// An ordinary user is told the truth about a file of its own, and about
// one it may not write (which the kernel would report as wholly cached)
// that it is not told.
int ResidentAsUnprivileged(const Options& options) {
  std::ostringstream out, errors;
  const int status = RunResident(options, out, errors);
  const std::string text = out.str();
  const bool right =
      status == 0 && text.find("100.00%") == std::string::npos &&
      text.find("unknown (not permitted)  2.9 KiB  ") != std::string::npos &&
      text.find("0 B / 4.0 MiB  0.00%  ") != std::string::npos &&
      text.find("; unknown (not permitted): 2.9 KiB in 1 file\n") != std::string::npos;
  if (!right) std::cerr << "status " << status << ":\n" << text << errors.str();
  return right ? 0 : 1;
}

TEST_F(CommandsTest, ResidentNeverGuessesForAnOrdinaryUser) {
  WriteStored(Path("own.dat"), 4 << 20);
  WriteList(
      "<L><Application name=\"pellicor\"><FileList>"
      "<File fileRelativePath=\"own.dat\" isForeground=\"1\"/>"
      "<File fileRelativePath=\"Stoven.dll\" isForeground=\"1\"/>"
      "</FileList></Application></L>");
  ASSERT_EQ(RunWarm(options_, out_, errors_), 0);
  ASSERT_EQ(RunEvict(options_, out_, errors_), 0) << errors_.str();
  if (chown(Path("own.dat").c_str(), 65534, 65534) != 0) GTEST_SKIP() << "cannot give files away";
  fs::permissions(tree_.Dir().string(),
                  fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exe);
  options_.perFile = true;
  const Options options = options_;
  const int result = SpeedLauncher::testing::RunUnprivileged(
      [&options] { return ResidentAsUnprivileged(options); });
  if (result == SpeedLauncher::testing::kUnprivilegedUnavailable) GTEST_SKIP();
  EXPECT_EQ(result, 0);
}

// Asked in pieces, a 4 TiB sparse file costs little memory; pages and
// percentages as the cache tools show them.
TEST_F(CommandsTest, ResidentOfAHugeSparseFileInBoundedMemory) {
  { std::ofstream(Path("huge.dat"), std::ios::binary); }
  fs::resize_file(Path("huge.dat"), std::uint64_t{4} << 40);
  WriteList(
      "<L><Application name=\"pellicor\"><FileList>"
      "<File fileRelativePath=\"huge.dat\" isForeground=\"1\"/>"
      "</FileList></Application></L>");
  options_.perFile = options_.pages = true;
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    std::ostringstream out, errors;
    const int status = RunResident(options_, out, errors);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const bool right = status == 0 && usage.ru_maxrss < 64 * 1024 &&
                       out.str().find("0/1073741824 pages  0 B / 4.0 TiB  0.00%  ") == 0;
    if (!right) std::cerr << usage.ru_maxrss << " KiB\n" << out.str() << errors.str();
    _exit(right ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
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

// A list the launcher cannot load is named on one line, its bad byte escaped.
TEST_F(CommandsTest, UnloadableListIsNamedOnOneLine) {
  tree_.Write("new\nline\xe9/SpeedLauncher-pellicor.xml", "<R/>");
  options_.listFile = Path("new\nline\xe9/SpeedLauncher-pellicor.xml");
  EXPECT_EQ(RunResident(options_, out_, errors_), 1);
  EXPECT_EQ(RunCheck(options_, out_, errors_), 1);
  const std::string text = errors_.str();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
  EXPECT_NE(text.find("new\\nline\\xe9/SpeedLauncher-pellicor.xml: error: cannot load the list"),
            std::string::npos)
      << text;
}

// Runs record from inside folder, as a user would.
int RecordIn(const std::string& folder, Options& options, std::ostream& out, std::ostream& errors) {
  const fs::path before = fs::current_path();
  fs::current_path(folder);
  const int status = RunRecord(options, out, errors);
  fs::current_path(before);
  return status;
}

// The program reads b.dat twice and sub/a.dat, and makes, truncates,
// appends to or deletes the rest after reading them, reads the kernel's
// files and one whose name is not UTF-8. The list is written through a
// linked folder; it names exactly b.dat and sub/a.dat, in reading order,
// relative to the real folder, and passes check.
TEST_F(CommandsTest, RecordListsOnlyTheFilesReadAndLeftAsTheyWere) {
  for (const char* name : {"b.dat", "sub/a.dat", "unopened.dat", "t.dat", "w.dat", "d.dat"}) {
    tree_.Write(std::string("rec/") + name, name);
  }
  tree_.Write("rec/bad\xff.dat");
  fs::create_directory_symlink(Path("rec"), Path("linked"));
  options_.output = Path("linked/recorded.xml");
  options_.program = {"sh", "-c",
                      "cat b.dat sub/a.dat b.dat t.dat w.dat d.dat bad*.dat /proc/self/status "
                      ">/dev/null; echo x >made.dat; cat made.dat >/dev/null; : >t.dat; "
                      "echo x >>w.dat; rm d.dat"};
  ASSERT_EQ(RecordIn(Path("rec"), options_, out_, errors_), 0) << errors_.str();
  EXPECT_NE(errors_.str().find("bad\\xff.dat: warning: left out: the name is not UTF-8"),
            std::string::npos)
      << errors_.str();
  EXPECT_NE(errors_.str().find("speedlauncher: recorded "), std::string::npos) << errors_.str();
  EXPECT_EQ(out_.str(), "");  // the program's output is the program's alone
  const std::string list = tree_.Read("rec/recorded.xml");
  const std::size_t b = list.find("fileRelativePath=\"b.dat\" isForeground=\"1\"");
  const std::size_t a = list.find("fileRelativePath=\"sub/a.dat\" isForeground=\"1\"");
  ASSERT_NE(b, std::string::npos) << list;
  EXPECT_LT(b, a) << list;
  EXPECT_EQ(list.find("\"b.dat\"", b + 20), std::string::npos) << list;  // once, though read twice
  // The programs started are read by the system itself, without an open.
  for (const char* program : {"/bin/sh", "/bin/cat"}) {
    const std::string real = fs::canonical(program).string();
    EXPECT_NE(list.find("\"" + real + "\""), std::string::npos) << real << '\n' << list;
  }
  for (const std::string& absent : {std::string("unopened"), std::string("/proc/"), Path("")}) {
    EXPECT_EQ(list.find(absent), std::string::npos) << absent << '\n' << list;
  }
  for (const char* made : {"made.dat", "t.dat", "w.dat", "d.dat", "bad"}) {
    EXPECT_EQ(list.find(std::string("\"") + made), std::string::npos) << made << '\n' << list;
  }

  Options check;
  check.listFile = Path("rec/recorded.xml");
  check.directory = Path("rec");
  std::ostringstream checked, findings;
  EXPECT_EQ(RunCheck(check, checked, findings), 0) << findings.str();
  EXPECT_EQ(findings.str().find("error"), std::string::npos) << findings.str();
}

// The program's own status comes back, a signal's as 128 plus its number;
// a terminate signal sent to the recorder goes to the whole program, which
// ends, and the list is still written.
TEST_F(CommandsTest, RecordEndsWithTheProgramsStatusAndPassesSignalsOn) {
  tree_.Write("rec/read.dat");
  options_.output = Path("rec/recorded.xml");
  options_.program = {"sh", "-c", "cat read.dat >/dev/null; exit 5"};
  EXPECT_EQ(RecordIn(Path("rec"), options_, out_, errors_), 5) << errors_.str();
  options_.program = {"sh", "-c", "kill -KILL $$"};
  EXPECT_EQ(RecordIn(Path("rec"), options_, out_, errors_), 128 + SIGKILL) << errors_.str();

  fs::remove(Path("rec/recorded.xml"));
  options_.program = {
      "sh", "-c", "cat read.dat >/dev/null; sleep 30 & echo $! >sleeper; kill -TERM $PPID; wait"};
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(RecordIn(Path("rec"), options_, out_, errors_), 128 + SIGTERM) << errors_.str();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  EXPECT_NE(tree_.Read("rec/recorded.xml").find("\"read.dat\""), std::string::npos);
  const std::string sleeper = tree_.Read("rec/sleeper");
  ASSERT_FALSE(sleeper.empty());
  // Gone, or a zombie its new parent has not collected yet.
  std::ifstream state("/proc/" + std::to_string(std::stoi(sleeper)) + "/stat");
  std::string pid, name, code;
  if (state >> pid >> name >> code) {
    EXPECT_EQ(code, "Z") << sleeper;
  }

  options_.program = {"./no such program"};
  EXPECT_EQ(RecordIn(Path("rec"), options_, out_, errors_), 127);
  EXPECT_NE(errors_.str().find("no such program: error: cannot run: No such file or directory"),
            std::string::npos)
      << errors_.str();
}

// A recorder that is killed outright takes the traced program with it.
TEST_F(CommandsTest, RecordKilledTakesTheProgramWithIt) {
  options_.output = Path("rec/recorded.xml");
  options_.program = {"sh", "-c", "echo $$ >program; exec sleep 30"};
  fs::create_directories(Path("rec"));
  std::fflush(nullptr);
  const pid_t recorder = fork();
  if (recorder == 0) {
    std::ostringstream out, errors;
    _exit(RecordIn(Path("rec"), options_, out, errors));
  }
  std::string program;
  for (int i = 0; i < 200 && program.empty(); ++i) {
    usleep(20'000);
    program = tree_.Read("rec/program");
  }
  ASSERT_FALSE(program.empty());
  kill(recorder, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(recorder, &status, 0), recorder);
  const std::string stat = "/proc/" + std::to_string(std::stoi(program)) + "/stat";
  std::string pid, name, state;
  for (int i = 0; i < 100 && std::ifstream(stat) >> pid >> name >> state && state != "Z"; ++i) {
    usleep(20'000);
  }
  if (std::ifstream(stat) >> pid >> name >> state) {
    EXPECT_EQ(state, "Z") << name;
  }
}

// Traced, a set-user-ID program runs with the caller's rights alone: an
// ordinary user is told so.
TEST_F(CommandsTest, RecordWarnsOfWithheldPrivileges) {
  const char* program = "/usr/bin/su";
  struct stat status {};
  if (stat(program, &status) != 0 || (status.st_mode & S_ISUID) == 0 || status.st_uid != 0) {
    GTEST_SKIP() << "no set-user-ID su here";
  }
  fs::permissions(tree_.Dir().string(), fs::all_all);
  options_.output = Path("su.xml");
  options_.program = {"sh", "-c", std::string(program) + " --help >/dev/null"};
  const Options options = options_;
  const int result = SpeedLauncher::testing::RunUnprivileged([&options] {
    std::ostringstream out, errors;
    RunRecord(options, out, errors);
    const bool warned = errors.str().find(
                            "/usr/bin/su: warning: runs without its set-user-ID "
                            "privileges while recorded") != std::string::npos;
    if (!warned) std::cerr << errors.str();
    return warned ? 0 : 1;
  });
  if (result == SpeedLauncher::testing::kUnprivilegedUnavailable) GTEST_SKIP();
  EXPECT_EQ(result, 0);
}

// Where the list goes: a link to a list not yet written is followed, not
// replaced; a full standard output is named once with its reason; a folder
// that takes no new file is refused before the program runs.
TEST_F(CommandsTest, RecordWritesWhereTheListIsMeant) {
  tree_.Write("rec/read.dat");
  fs::create_directory(Path("rec/real"));
  fs::create_symlink("real/list.xml", Path("rec/link.xml"));
  options_.output = Path("rec/link.xml");
  options_.program = {"cat", "read.dat"};
  ASSERT_EQ(RecordIn(Path("rec"), options_, out_, errors_), 0) << errors_.str();
  EXPECT_TRUE(fs::is_symlink(Path("rec/link.xml")));
  EXPECT_NE(tree_.Read("rec/real/list.xml").find("read.dat"), std::string::npos);

  // A link to a pipe is written into, as the shell's /dev/stdout.
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  options_.output = "/proc/self/fd/" + std::to_string(pipeEnds[1]);
  fcntl(pipeEnds[0], F_SETPIPE_SZ, 1 << 20);
  EXPECT_EQ(RecordIn(Path("rec"), options_, out_, errors_), 0) << errors_.str();
  close(pipeEnds[1]);
  char start[6] = {};
  EXPECT_EQ(read(pipeEnds[0], start, 5), 5);
  EXPECT_EQ(std::string(start), "<?xml");
  close(pipeEnds[0]);

  std::ofstream full("/dev/full");
  if (full) {
    options_.output = "-";
    std::ostringstream errors;
    EXPECT_EQ(CheckedOutput(RecordIn(Path("rec"), options_, full, errors), full, errors), 1);
    EXPECT_EQ(errors.str(),
              "speedlauncher: standard output: error: cannot write: No space left on device\n");
  }

  fs::create_directory(Path("rec/ro"));
  fs::create_directory(Path("rec/open"));
  fs::permissions(tree_.Dir().string(), fs::all_all);
  fs::permissions(Path("rec"), fs::all_all);
  fs::permissions(Path("rec/open"), fs::all_all);
  fs::permissions(Path("rec/ro"), fs::perms(0555));
  options_.output = Path("rec/ro/list.xml");
  options_.program = {"sh", "-c", ": >" + Path("rec/open/ran")};
  const Options options = options_;
  const int result = SpeedLauncher::testing::RunUnprivileged([&options] {
    std::ostringstream out, errors;
    const int status = RunRecord(options, out, errors);
    const bool refused =
        status == 1 &&
        errors.str().find("cannot write the list: Permission denied") != std::string::npos;
    if (!refused) std::cerr << status << ' ' << errors.str();
    return refused ? 0 : 1;
  });
  if (result == SpeedLauncher::testing::kUnprivilegedUnavailable) GTEST_SKIP();
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(fs::exists(Path("rec/open/ran")));  // refused before the program ran
}

#ifdef RECORD_TEST_PROGRAM_32
// A 32-bit program's opens come through the 32-bit gate with the 32-bit
// numbers (open is 5 there, openat 295).
TEST_F(CommandsTest, RecordFollowsA32BitProgram) {
  tree_.Write("rec/one.dat");
  tree_.Write("rec/two.dat");
  options_.output = Path("rec/recorded.xml");
  options_.program = {RECORD_TEST_PROGRAM_32, "one.dat", "two.dat"};
  ASSERT_EQ(RecordIn(Path("rec"), options_, out_, errors_), 0) << errors_.str();
  const std::string list = tree_.Read("rec/recorded.xml");
  EXPECT_NE(list.find("\"" RECORD_TEST_PROGRAM_32 "\""), std::string::npos) << list;
  EXPECT_LT(list.find("\"one.dat\""), list.find("\"two.dat\"")) << list << errors_.str();
}
#endif

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
  EXPECT_NE(message.find("--mode: 'five' is not a whole number from 0 to 4294967295"),
            std::string::npos)
      << message;
  EXPECT_NE(message.find("Try 'speedlauncher warm --help'"), std::string::npos) << message;

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
  parsed = Parse({"warm", "--dir", "inst//"}, out, errors);
  ASSERT_TRUE(parsed.options);
  EXPECT_EQ(parsed.options->directory, "inst");

  errors.str({});
  EXPECT_EQ(Parse({"wram", "--dir", "x"}, out, errors).exitStatus, 2);
  EXPECT_EQ(errors.str().rfind("speedlauncher: 'wram' is not a command: expand, check", 0), 0u)
      << errors.str();

  // Sizes among NUL-ended paths would break every reader of them.
  errors.str({});
  EXPECT_EQ(Parse({"expand", "-0", "-l"}, out, errors).exitStatus, 2);
  EXPECT_EQ(errors.str().rfind("speedlauncher: --null excludes --long\n", 0), 0u) << errors.str();
  errors.str({});
  EXPECT_EQ(Parse({"record", "--seconds", "0", "-o", "x", "--", "true"}, out, errors).exitStatus,
            2);
  EXPECT_NE(errors.str().find("'0' is not a number of seconds above 0"), std::string::npos)
      << errors.str();
}

// Help and version that could not be written are no success.
TEST(CommandLineTest, HelpToAFullDeviceFails) {
  std::ofstream full("/dev/full");
  if (!full) GTEST_SKIP() << "no /dev/full here";
  for (const char* words : {"--help", "--version", "warm"}) {
    std::ostringstream errors;
    const ParsedCommandLine parsed = words == std::string("warm")
                                         ? Parse({words, "--help"}, full, errors)
                                         : Parse({words}, full, errors);
    EXPECT_EQ(parsed.exitStatus, 1) << words;
    EXPECT_NE(errors.str().find("error: cannot write: No space left on device"), std::string::npos)
        << words << ": " << errors.str();
    full.clear();
  }
}

// Each command's help ends with its own examples, not the others'.
TEST(CommandLineTest, CommandHelpShowsItsOwnExamples) {
  for (const char* command : {"expand", "check", "warm", "resident", "evict", "record"}) {
    std::ostringstream out, errors;
    ASSERT_EQ(Parse({command, "--help"}, out, errors).exitStatus, 0);
    const std::string help = out.str();
    std::istringstream lines(help.substr(help.find("Example")));
    std::string line;
    std::getline(lines, line);
    int examples = 0;
    while (std::getline(lines, line)) {
      if (line.rfind("  speedlauncher ", 0) != 0) continue;
      ++examples;
      EXPECT_NE(line.find(std::string("speedlauncher ") + command), std::string::npos)
          << command << ": " << line;
    }
    EXPECT_GT(examples, 0) << help;
  }
}

}  // namespace
}  // namespace speedlauncher
