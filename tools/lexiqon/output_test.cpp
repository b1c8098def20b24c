// Where lexiqon writes: the real binary, with targets of every file type.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "test_support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

class LexiqonOutput : public ::testing::Test, protected testing_support::ScratchFolder {
 protected:
  void SetUp() override {
    Write("source.txt", "\"$$$/a=one\"\r\n\"$$$/b=two\"\r\n");
    ASSERT_EQ(Shell(Lexiqon() + " compile " + Path("source.txt") + " -o " + Path("expected.dat")),
              0);
  }
  static std::string Lexiqon() { return "timeout 20 " LEXIQON_BINARY; }
  static int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int Compile(const std::string& output) const {
    return Shell(Lexiqon() + " compile " + Path("source.txt") + " -o " + output + " 2>" +
                 Path("err.txt"));
  }
};

TEST_F(LexiqonOutput, RegularTargetIsReplacedWholeWithItsPermissions) {
  Write("out.dat", "old");
  fs::permissions(Path("out.dat"),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_EQ(Compile(Path("out.dat")), 0) << Read("err.txt");
  EXPECT_EQ(Read("out.dat"), Read("expected.dat"));
  EXPECT_EQ(fs::status(Path("out.dat")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // Nothing is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir()), {}), 4);
}

TEST_F(LexiqonOutput, PreMadeTemporaryNameStaysUntouched) {
  Write("victim", "keep me");
  fs::create_symlink(Path("victim"), Path("out.dat.tmp"));
  ASSERT_EQ(Compile(Path("out.dat")), 0) << Read("err.txt");
  EXPECT_EQ(Read("victim"), "keep me");
  EXPECT_TRUE(fs::is_symlink(Path("out.dat.tmp")));
  EXPECT_EQ(Read("out.dat"), Read("expected.dat"));
}

TEST_F(LexiqonOutput, SymbolicLinkIsWrittenThrough) {
  Write("target", "old");
  fs::create_symlink(Path("target"), Path("link"));
  ASSERT_EQ(Compile(Path("link")), 0) << Read("err.txt");
  EXPECT_TRUE(fs::is_symlink(Path("link")));
  EXPECT_EQ(Read("target"), Read("expected.dat"));
}

TEST_F(LexiqonOutput, FifoIsWrittenThrough) {
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  ASSERT_EQ(Shell("(timeout 20 cat " + Path("fifo") + " > " + Path("got") + " &) ; " + Lexiqon() +
                  " compile " + Path("source.txt") + " -o " + Path("fifo") + "; sleep 0.2"),
            0);
  EXPECT_TRUE(fs::is_fifo(Path("fifo")));
  EXPECT_EQ(Read("got"), Read("expected.dat"));
}

TEST_F(LexiqonOutput, DeviceNodeIsWrittenThroughAndAFullOneFails) {
  // The null device's numbers; making a node needs root.
  if (::mknod(Path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    GTEST_SKIP() << "cannot make a device node here";
  }
  ASSERT_EQ(Compile(Path("null")), 0) << Read("err.txt");
  EXPECT_TRUE(fs::is_character_file(Path("null")));
  ASSERT_EQ(::mknod(Path("full").c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
  EXPECT_NE(Compile(Path("full")), 0);
  EXPECT_TRUE(fs::is_character_file(Path("full")));
  EXPECT_EQ(Read("err.txt"), "lexiqon: " + Path("full") + ": error: No space left on device\n");
}

TEST_F(LexiqonOutput, DashIsStandardInputAndOutput) {
  ASSERT_EQ(Shell(Lexiqon() + " compile - -o - < " + Path("source.txt") + " > " + Path("got")), 0);
  EXPECT_EQ(Read("got"), Read("expected.dat"));
  ASSERT_EQ(Shell(Lexiqon() + " decompile - -o - < " + Path("got") + " > " + Path("text")), 0);
  EXPECT_EQ(Read("text").substr(0, 4), std::string("\xFF\xFE\"\0", 4));
  EXPECT_NE(Shell(Lexiqon() + " decompile " + Path("got") + " -o - > /dev/full 2>" + Path("err")),
            0);
  EXPECT_EQ(Read("err"), "lexiqon: -: error: No space left on device\n");
}

TEST_F(LexiqonOutput, UnwritableFolderFailsWithTheUsersPath) {
  fs::create_directories(Path("locked"));
  fs::permissions(Path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
  if (::geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
  EXPECT_EQ(Compile(Path("locked/out.dat")), 2);
  EXPECT_EQ(Read("err.txt"), "lexiqon: " + Path("locked/out.dat") + ": error: Permission denied\n");
}

// As root, the tool runs as nobody: a user the folders' modes hold back.
std::string AsNobody() {
  return ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
}

TEST_F(LexiqonOutput, ReplacedFileKeepsItsOwnerGroupAndHardLinks) {
  Write("owned.dat", "old");
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(Path("owned.dat").c_str(), 65534, 65534), 0);
  }
  struct stat before {};
  ASSERT_EQ(::stat(Path("owned.dat").c_str(), &before), 0);
  ASSERT_EQ(Compile(Path("owned.dat")), 0) << Read("err.txt");
  struct stat after {};
  ASSERT_EQ(::stat(Path("owned.dat").c_str(), &after), 0);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_EQ(Read("owned.dat"), Read("expected.dat"));

  Write("linked.dat", "old");
  fs::create_hard_link(Path("linked.dat"), Path("other-name.dat"));
  ASSERT_EQ(Compile(Path("linked.dat")), 0) << Read("err.txt");
  EXPECT_EQ(fs::hard_link_count(Path("linked.dat")), 2u);
  EXPECT_EQ(Read("other-name.dat"), Read("expected.dat"));
}

TEST_F(LexiqonOutput, WritableFileInAFolderTheUserCannotWriteIsWrittenInPlace) {
  fs::create_directories(Path("locked"));
  Write("locked/out.dat", "old");
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(Path("locked").c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chown(Path("locked/out.dat").c_str(), 65534, 65534), 0);
    fs::permissions(Dir(), fs::perms::others_exec, fs::perm_options::add);
  }
  fs::permissions(Path("locked"), fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
  ASSERT_EQ(Shell(AsNobody() + Lexiqon() + " compile " + Path("source.txt") + " -o " +
                  Path("locked/out.dat") + " 2>" + Path("err.txt")),
            0)
      << Read("err.txt");
  EXPECT_EQ(Read("locked/out.dat"), Read("expected.dat"));
  EXPECT_EQ(std::distance(fs::directory_iterator(Path("locked")), {}), 1);
}

TEST_F(LexiqonOutput, TerminatingSignalDuringTheWriteLeavesNoTemporaryFile) {
  // Big enough that the write lasts while the signal is on its way.
  {
    std::ofstream big(Path("big.txt"), std::ios::binary);
    for (int i = 0; i < 2000; ++i)
      big << "\"$$$/k" << i << "=" << std::string(16000, 'x') << "\"\r\n";
  }
  fs::create_directories(Path("out"));
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    bool signalled = false;
    for (int attempt = 0; attempt < 5 && !signalled; ++attempt) {
      const pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        ::execl(LEXIQON_BINARY, "lexiqon", "compile", Path("big.txt").c_str(), "-o",
                Path("out/big.dat").c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
      }
      // Sent when the temporary file appears.
      const auto started = std::chrono::steady_clock::now();
      while (std::chrono::steady_clock::now() - started < std::chrono::seconds(20)) {
        bool temporary = false;
        for (const auto& entry : fs::directory_iterator(Path("out"))) {
          temporary = temporary || entry.path().filename().string().starts_with(".lexiqon-");
        }
        if (temporary || ::waitpid(child, nullptr, WNOHANG) != 0) break;
      }
      ::kill(child, signal);
      int status = 0;
      ::waitpid(child, &status, 0);
      signalled = WIFSIGNALED(status) && WTERMSIG(status) == signal;
      fs::remove(Path("out/big.dat"));
    }
    EXPECT_TRUE(signalled) << "every write ended before the signal came";
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("out")), {}), 0);
  }
}

}  // namespace
