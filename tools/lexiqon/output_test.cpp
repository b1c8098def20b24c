// Where lexiqon writes: the real binary, with targets of every file type.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

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

}  // namespace
