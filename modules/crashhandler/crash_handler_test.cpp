#include "crash_handler.h"

#include <crashhandler/settings_record.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "crash_folder.h"
#include "crash_report.h"
#include "crash_settings_reader.h"
#include "process_memory_posix.h"
#include "test_support/scratch_folder.h"

namespace crashhandler {
namespace {

namespace fs = std::filesystem;

std::uint64_t AddressOf(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }
const unsigned char* Bytes(const char* text) {
  return reinterpret_cast<const unsigned char*>(text);
}

// A record in this process, as the launcher fills it.
struct OwnRecord {
  std::string product = "VANTIL_PRODUCT_NAME";
  std::string forum = "https://community.harlund.example/pellicor/";
  std::string logDirectory = "/var/log/pellicor";
  CrashHandlerSettings record;

  OwnRecord() {
    record.suppressDialog = 1;
    Point(record.productName, record.productNameLength, product);
    Point(record.forumAddress, record.forumAddressLength, forum);
    Point(record.logDirectory, record.logDirectoryLength, logDirectory);
  }
  static void Point(const unsigned char*& address, std::uint64_t& length, const std::string& text) {
    address = Bytes(text.data());
    length = text.size();
  }
  CrashSettings Read() const {
    return ReadCrashSettings(PosixProcessMemory(getpid()), AddressOf(&record));
  }
};

TEST(CrashSettingsReader, ReadsRecordAndTextsOfAProcess) {
  OwnRecord own;
  CrashSettings settings = own.Read();
  EXPECT_TRUE(settings.recordRead);
  EXPECT_TRUE(settings.suppressDialog);
  EXPECT_EQ(settings.productName, "VANTIL_PRODUCT_NAME");
  EXPECT_EQ(settings.forumAddress, own.forum);
  EXPECT_EQ(settings.logDirectory, "/var/log/pellicor");

  // Before the core library is up: no log directory, dialog not suppressed.
  own.record.suppressDialog = 0;
  own.record.logDirectory = nullptr;
  own.record.logDirectoryLength = 0;
  settings = own.Read();
  EXPECT_FALSE(settings.suppressDialog);
  EXPECT_EQ(settings.logDirectory, "");
  EXPECT_EQ(settings.productName, "VANTIL_PRODUCT_NAME");
}

TEST(CrashSettingsReader, TrustsNothingInTheRecord) {
  const PosixProcessMemory memory(getpid());
  EXPECT_FALSE(ReadCrashSettings(memory, 0).recordRead);
  EXPECT_FALSE(ReadCrashSettings(memory, 1).recordRead);

  OwnRecord own;
  own.record.recordSize = 63;
  const CrashSettings wrongSize = own.Read();
  EXPECT_FALSE(wrongSize.recordRead);
  EXPECT_EQ(wrongSize.productName, "");
  own.record.recordSize = kCrashHandlerSettingsSize;

  own.record.suppressDialog = 2;  // only 1 means suppressed
  EXPECT_FALSE(own.Read().suppressDialog);

  // A page that can be read followed by one that cannot.
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  void* mapped =
      mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(mapped, MAP_FAILED);
  char* pages = static_cast<char*>(mapped);
  ASSERT_EQ(mprotect(pages + page, page, PROT_NONE), 0);
  std::memcpy(pages + page - 4, "name", 4);

  own.record.productName = Bytes(pages + page - 4);
  own.record.productNameLength = 4;
  EXPECT_EQ(own.Read().productName, "name");
  own.record.productNameLength = 5;  // one byte into the unreadable page
  EXPECT_EQ(own.Read().productName, "");
  own.record.productName = Bytes(pages + page);
  own.record.productNameLength = 1;
  EXPECT_EQ(own.Read().productName, "");
  munmap(mapped, 2 * page);

  const std::string huge(kMaxTextLength + 1, 'x');
  OwnRecord::Point(own.record.forumAddress, own.record.forumAddressLength, huge);
  EXPECT_EQ(own.Read().forumAddress, "");
  const std::string withNul("/tmp\0/etc", 9);
  OwnRecord::Point(own.record.logDirectory, own.record.logDirectoryLength, withNul);
  const CrashSettings settings = own.Read();
  EXPECT_EQ(settings.logDirectory, "");
  EXPECT_TRUE(settings.recordRead);
}

CrashFacts Facts() {
  CrashFacts facts;
  facts.description = "signal 11 (SIGSEGV), code 1, address 0x0";
  facts.processId = 4242;
  facts.time = 86400 + 3661;  // 1970-01-02 01:01:01
  return facts;
}

TEST(CrashReport, NamesProductVersionsSignalSignatureProcessAndTime) {
  CrashSettings settings;
  settings.recordRead = true;
  settings.productName = "VANTIL\x1b[2J";
  settings.forumAddress = "https://forum.example/";
  CrashFacts facts = Facts();
  facts.application = "Pellicor 19.0 (build 7)";
  facts.signature = "0123456789abcdef";
  const std::string report = FormatCrashReport(settings, facts);
  EXPECT_TRUE(std::regex_match(report, std::regex("Crash report\n"
                                                  "Product: VANTIL\\?\\[2J\n"
                                                  "Application: Pellicor 19\\.0 \\(build 7\\)\n"
                                                  "Crash handler: vantilcrashhandler [0-9.]+ "
                                                  "\\(build [^)]+\\)\n"
                                                  "Crash: signal 11 \\(SIGSEGV\\), code 1, "
                                                  "address 0x0\n"
                                                  "Signature: 0123456789abcdef\n"
                                                  "Process: 4242\n"
                                                  "Time: 1970-01-02 01:01:01 UTC\n"
                                                  "Forum: https://forum.example/\n")))
      << report;
  const std::string unread = FormatCrashReport(CrashSettings{}, Facts());
  EXPECT_NE(unread.find("Product: unknown (settings unreadable)\n"), std::string::npos) << unread;
  EXPECT_NE(unread.find("Application: unknown\n"), std::string::npos) << unread;
  EXPECT_EQ(unread.find("Signature:"), std::string::npos) << unread;
}

TEST(CrashReport, FileOnlyInAnExistingAbsoluteFolderUnderANewName) {
  const testing_support::ScratchFolder scratch("pellicor-report");
  const fs::path& folder = scratch.Dir();
  ASSERT_EQ(ExistingFolder(folder.string()), folder);
  const std::string stem = CrashFileStem(4242, Facts().time);
  EXPECT_TRUE(std::regex_match(stem, std::regex("crash-19700102-010101-4242-[0-9a-f]{8}"))) << stem;
  EXPECT_NE(CrashFileStem(4242, Facts().time), stem);  // the random part

  std::string problem;
  const auto file = WriteCrashReportFile(folder, stem, "report\n", problem);
  ASSERT_TRUE(file) << problem;
  EXPECT_EQ(*file, folder / (stem + ".txt"));
  std::ostringstream content;
  content << std::ifstream(*file).rdbuf();
  EXPECT_EQ(content.str(), "report\n");
  EXPECT_EQ(fs::status(*file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  // A name that is taken is never written over.
  EXPECT_FALSE(WriteCrashReportFile(folder, stem, "other\n", problem));
  EXPECT_NE(problem.find("the name is taken"), std::string::npos) << problem;

  EXPECT_FALSE(ExistingFolder(""));
  EXPECT_FALSE(ExistingFolder((folder / "missing").string()));
  EXPECT_FALSE(ExistingFolder("relative/folder"));
  EXPECT_FALSE(ExistingFolder(file->string()));  // a file
  EXPECT_FALSE(WriteCrashReportFile(folder / "missing", stem, "report\n", problem));
  EXPECT_NE(problem.find("No such file or directory"), std::string::npos) << problem;
}

class UnreadableMemory : public ProcessMemory {
 public:
  bool Read(std::uint64_t, void*, std::size_t) const override { return false; }
};

// Without a log folder: the dump and the report that names it in the
// user's crash folder.
TEST(HandleCrash, DumpBesideTheReportInTheCrashFolder) {
  const testing_support::ScratchFolder state("pellicor-state");
  setenv("XDG_STATE_HOME", state.Dir().c_str(), 1);
  const fs::path folder = state.Dir() / "Harlund" / "Pellicor" / "Crashes";
  const auto silent = [](const CrashSettings&, const std::optional<fs::path>&) {};

  fs::path dumped;
  HandleCrash(
      UnreadableMemory(), 0x1000, Facts(),
      [&dumped](const fs::path& file) {
        dumped = file;
        std::ofstream(file) << "MDMP";
        return true;
      },
      silent);
  ASSERT_EQ(dumped.parent_path(), folder);
  ASSERT_EQ(dumped.extension(), ".dmp");
  fs::path text = dumped;
  text.replace_extension(".txt");
  const std::string report = state.Read(fs::relative(text, state.Dir()).string());
  EXPECT_NE(report.find("Minidump: " + dumped.string() + "\n"), std::string::npos) << report;
  EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);

  // The same process id at the same second: a second report beside the first.
  HandleCrash(
      UnreadableMemory(), 0x1000, Facts(), [](const fs::path&) { return false; }, silent);
  std::size_t reports = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".txt") ++reports;
  }
  EXPECT_EQ(reports, 2u);
  unsetenv("XDG_STATE_HOME");
}

// A state folder that cannot be made (a home folder that is not the
// user's, say) is named with the system's reason.
TEST(HandleCrash, CrashFolderThatCannotBeMadeSaysWhy) {
  const testing_support::ScratchFolder state("pellicor-state");
  const std::string blocked = state.Write("file") + "/state";
  setenv("XDG_STATE_HOME", blocked.c_str(), 1);
  std::string problem;
  EXPECT_FALSE(UserCrashFolder(&problem));
  EXPECT_EQ(problem, blocked + ": Not a directory");
  unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace crashhandler
