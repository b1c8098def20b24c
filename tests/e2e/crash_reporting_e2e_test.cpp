// Crash reporting of the installed launcher: the registration while "Run"
// runs, and what a crash inside "Run" reports.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "test_support/installation.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Installation;

constexpr char kForum[] = "https://community.harlund.example/pellicor/";
constexpr char kMessageBox[] =
    "VANTIL_PRODUCT_NAME crashed: VANTIL_PRODUCT_NAME stopped unexpectedly.";

// "%2Ftmp%2F..." as the registry store names value files.
std::string DecodeValueName(const std::string& name) {
  std::string decoded;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '%' && i + 2 < name.size()) {
      decoded += static_cast<char>(std::stoi(name.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += name[i];
    }
  }
  return decoded;
}

std::string Slurp(const fs::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// The report's thread sections in order: the header line and its frames.
struct ThreadSection {
  std::string header;
  std::string frames;
};

std::vector<ThreadSection> Threads(const std::string& report) {
  std::vector<ThreadSection> threads;
  std::istringstream lines(report);
  bool inThread = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("Thread ", 0) == 0) {
      threads.push_back({line, ""});
      inThread = true;
    } else if (line.empty()) {
      inThread = false;
    } else if (inThread) {
      threads.back().frames += line + "\n";
    }
  }
  return threads;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

fs::path ReportFileNamed(const std::string& err) {
  std::smatch file;
  if (!std::regex_search(err, file, std::regex("Report file: ([^\n]+)\n"))) return {};
  return file[1].str();
}

// The one line a crashed process writes when it has no report.
std::string NoReportReason(const std::string& err, const char* signal = "SIGSEGV") {
  std::smatch line;
  const std::regex pattern(std::string("(^|\n)Pellicor: ") + signal +
                           " \\([^)]+\\): no crash report: ([^\n]+)\n");
  return std::regex_search(err, line, pattern) ? line[2].str() : std::string();
}

class CrashReporting : public testing::Test {
 protected:
  void SetUp() override {
    // Crashing children leave no core files behind.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    fs::copy_file(testing_support::TestArtifact("PELLICOR_CRASH_PROBE_MODULE"),
                  installation_.Dir() / "Stoven.dll", fs::copy_options::overwrite_existing);
    fs::remove(installation_.Dir() / "SpeedLauncher-pellicor.xml");
  }

  Installation installation_;
};

TEST_F(CrashReporting, RegisteredWhileRunRunsAndUndoneAfter) {
  const auto result = installation_.Launch();
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  const std::string expected =
      "probe: registry value " + (installation_.Dir() / "vantilcrashhandler.dll").string() + "\n";
  std::string decoded = DecodeValueName(result.out);
  EXPECT_NE(decoded.find(expected), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("probe: SIGSEGV handled\n"), std::string::npos) << result.out;
  EXPECT_FALSE(installation_.RegistryValueLeft());
}

TEST_F(CrashReporting, CrashReportNamesProductForumAndSignalAndShowsTheDialog) {
  const auto result = installation_.Launch({"--crash"});
  EXPECT_EQ(result.signal, SIGSEGV) << result.err;
  EXPECT_NE(result.err.find("Product: VANTIL_PRODUCT_NAME\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find(std::string("Forum: ") + kForum + "\n"), std::string::npos);
  EXPECT_NE(result.err.find("Crash: signal 11 (SIGSEGV), code 1, address 0x100\n"),
            std::string::npos);
  EXPECT_NE(result.err.find(kMessageBox), std::string::npos);
  EXPECT_EQ(result.err.find("Crash dialog suppressed."), std::string::npos);
}

TEST_F(CrashReporting, ReportLandsInTheConsoleLogDirectory) {
  const fs::path logs = installation_.Root() / "logs";
  fs::create_directories(logs);
  std::ofstream(logs / "console.log") << "started\n";
  installation_.Environment()["VANTIL_CONSOLE_LOG"] = (logs / "console.log").string();

  const auto result = installation_.Launch({"--crash"});
  EXPECT_EQ(result.signal, SIGSEGV);
  std::smatch process;
  ASSERT_TRUE(std::regex_search(result.err, process, std::regex("Process: ([0-9]+)\n")))
      << result.err;
  const fs::path report = ReportFileNamed(result.err);
  EXPECT_EQ(report.parent_path(), logs);
  EXPECT_TRUE(std::regex_match(
      report.filename().string(),
      std::regex("crash-[0-9]{8}-[0-9]{6}-" + process[1].str() + "-[0-9a-f]{8}\\.txt")))
      << report;
  ASSERT_TRUE(fs::exists(report)) << result.err;
  const std::string content = Slurp(report);
  EXPECT_NE(content.find("Product: VANTIL_PRODUCT_NAME\n"), std::string::npos) << content;
  EXPECT_NE(content.find("(SIGSEGV)"), std::string::npos) << content;
  EXPECT_NE(result.err.find("Report file: " + report.string() + "\n"), std::string::npos);
  EXPECT_NE(result.err.find("A crash report was saved as " + report.string()), std::string::npos);
}

TEST_F(CrashReporting, TwoThreadsCrashingAtOnceGiveOneReport) {
  const auto result = installation_.Launch({"--crash-two-threads"});
  EXPECT_EQ(result.signal, SIGSEGV) << result.err;
  EXPECT_EQ(Count(result.err, "Crash report\n"), 1u) << result.err;
  const std::vector<ThreadSection> threads = Threads(result.err);
  ASSERT_EQ(threads.size(), 3u) << result.err;
  EXPECT_NE(threads[0].header.find("\"crasher\" (crashed)"), std::string::npos)
      << threads[0].header;
  // Both crashing threads are in the module's lambda, the second waiting in
  // its signal handler or parked before its fault; the main thread at most
  // starts them (its frames then name the lambda's type).
  std::size_t inLambda = 0;
  for (const ThreadSection& thread : threads) {
    if (thread.header.find("\"crasher\"") != std::string::npos &&
        thread.frames.find("CrashTwoThreadsAtOnce()::{lambda()#1}") != std::string::npos) {
      ++inLambda;
    }
  }
  EXPECT_EQ(inLambda, 2u) << result.err;
  EXPECT_NE(threads[0].frames.find("CrashTwoThreadsAtOnce"), std::string::npos);
  EXPECT_EQ(Count(result.err, "(crashed)"), 1u);
}

TEST_F(CrashReporting, WorkerThreadOverflowAndGarbageStackPointerAreReported) {
  for (const std::string how : {"--overflow-thread", "--bad-stack-thread"}) {
    const auto result = installation_.Launch({how});
    EXPECT_EQ(result.signal, SIGSEGV) << how << "\n" << result.err;
    const std::vector<ThreadSection> threads = Threads(result.err);
    ASSERT_GE(threads.size(), 2u) << how << "\n" << result.err;
    EXPECT_NE(threads[0].header.find("(crashed)"), std::string::npos);
    const char* where = how == "--overflow-thread" ? "Recurse(" : "PushOnGarbageStack";
    EXPECT_NE(threads[0].frames.find(where), std::string::npos) << how << "\n" << result.err;
    EXPECT_TRUE(fs::is_regular_file(ReportFileNamed(result.err))) << how << "\n" << result.err;
  }
}

TEST_F(CrashReporting, NoThreadRunsOnAfterTheFault) {
  const auto result = installation_.Launch({"--crash-while-printing"});
  EXPECT_EQ(result.signal, SIGSEGV) << result.err;
  const std::size_t fault = result.out.find("fault\n");
  ASSERT_NE(fault, std::string::npos) << result.out;
  EXPECT_LE(Count(result.out.substr(fault), "tick\n"), 1u) << result.out.substr(fault);
  EXPECT_TRUE(fs::is_regular_file(ReportFileNamed(result.err))) << result.err;

  // A thread that blocks every signal is not parked; the crash host stops
  // it before it reads anything, and its stack is in the report.
  const auto unsignalled = installation_.Launch({"--crash-while-printing-unsignalled"});
  EXPECT_EQ(unsignalled.signal, SIGSEGV) << unsignalled.err;
  const std::vector<ThreadSection> threads = Threads(unsignalled.err);
  ASSERT_EQ(threads.size(), 2u) << unsignalled.err;
  EXPECT_NE(threads[1].frames.find("CrashWhilePrinting"), std::string::npos) << threads[1].frames;
}

TEST_F(CrashReporting, DialogThatNeverEndsHoldsNothing) {
  const fs::path tools = installation_.Root() / "tools";
  const fs::path dialogPid = installation_.Root() / "dialog.pid";
  fs::create_directories(tools);
  std::ofstream(tools / "zenity") << "#!/bin/sh\necho $$ > '" << dialogPid.string()
                                  << "'\nexec sleep 600\n";
  fs::permissions(tools / "zenity", fs::perms::owner_all);
  installation_.Environment()["PATH"] = tools.string() + ":/usr/bin:/bin";
  installation_.Environment()["DISPLAY"] = ":99";

  const auto start = std::chrono::steady_clock::now();
  const auto result = installation_.Launch({"--crash"});
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(result.signal, SIGSEGV) << result.err;
  // Held until the dialog's end, it would live out the host's 10 s.
  EXPECT_LT(took, std::chrono::seconds(3));
  EXPECT_TRUE(fs::is_regular_file(ReportFileNamed(result.err))) << result.err;
  EXPECT_NE(result.err.find(kMessageBox), std::string::npos) << result.err;

  // The dialog outlives the crashed process.
  pid_t dialog = 0;
  for (int i = 0; i < 300 && !(std::ifstream(dialogPid) >> dialog); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_GT(dialog, 0);
  EXPECT_EQ(kill(dialog, 0), 0);
  kill(dialog, SIGKILL);
}

TEST_F(CrashReporting, NonDumpableProcessGetsItsStacks) {
  const auto result = installation_.Launch({"--not-dumpable", "--crash-two-threads"});
  EXPECT_EQ(result.signal, SIGSEGV) << result.err;
  const std::vector<ThreadSection> threads = Threads(result.err);
  ASSERT_EQ(threads.size(), 3u) << result.err;
  for (const ThreadSection& thread : threads) {
    EXPECT_NE(thread.frames.find("Stoven.dll+"), std::string::npos) << thread.header << "\n"
                                                                    << result.err;
  }
  EXPECT_NE(result.err.find("\nModules:\n"), std::string::npos) << result.err;
}

// The line of the probe's source that holds `statement`.
std::string ProbeLine(const std::string& statement) {
  std::ifstream source(CRASH_PROBE_SOURCE);
  int number = 0;
  for (std::string line; std::getline(source, line);) {
    ++number;
    if (line.find(statement) != std::string::npos)
      return "crash_probe_module.cpp:" + std::to_string(number);
  }
  return "(not in the source)";
}

TEST_F(CrashReporting, FramesNameFileAndLineAndInlinedCalls) {
  const auto plain = installation_.Launch({"--crash"});
  ASSERT_EQ(plain.signal, SIGSEGV) << plain.err;
  std::vector<ThreadSection> threads = Threads(plain.err);
  ASSERT_FALSE(threads.empty()) << plain.err;
  EXPECT_NE(threads[0].frames.find("WriteToUnmapped()+0x"), std::string::npos) << threads[0].frames;
  EXPECT_NE(threads[0].frames.find(ProbeLine("*nowhere = 0xDEADu;") + "\n"), std::string::npos)
      << threads[0].frames;

  const auto inlined = installation_.Launch({"--crash-inlined"});
  ASSERT_EQ(inlined.signal, SIGSEGV) << inlined.err;
  threads = Threads(inlined.err);
  ASSERT_FALSE(threads.empty()) << inlined.err;
  EXPECT_TRUE(std::regex_search(
      threads[0].frames,
      std::regex("  #0 +0x[0-9a-f]+  Stoven\\.dll\\+0x[0-9a-f]+  StoreThrough[^\n]*  [^\n]*" +
                 ProbeLine("the inlined faulting statement") +
                 "  \\(inlined\\)\n  #1 +0x[0-9a-f]+  Stoven\\.dll\\+0x[0-9a-f]+  "
                 "\\(anonymous namespace\\)::CrashThroughInline\\(\\)\\+0x[0-9a-f]+  [^\n]*" +
                 ProbeLine("StoreThrough(nowhere);") + "\n")))
      << threads[0].frames;
}

// The debug information moved into a file of its own beside the module,
// named by the module's debug link.
TEST_F(CrashReporting, SeparateDebugFileByDebugLinkGivesTheLine) {
  const fs::path module = installation_.Dir() / "Stoven.dll";
  const std::string commands =
      "cd '" + installation_.Dir().string() +
      "' && objcopy --only-keep-debug Stoven.dll Stoven.dll.debug && "
      "objcopy --strip-debug --add-gnu-debuglink=Stoven.dll.debug Stoven.dll";
  ASSERT_EQ(std::system(commands.c_str()), 0);
  const auto result = installation_.Launch({"--crash"});
  ASSERT_EQ(result.signal, SIGSEGV) << result.err;
  const std::vector<ThreadSection> threads = Threads(result.err);
  ASSERT_FALSE(threads.empty()) << result.err;
  EXPECT_NE(threads[0].frames.find(ProbeLine("*nowhere = 0xDEADu;") + "\n"), std::string::npos)
      << threads[0].frames;
}

std::string SignatureOf(const std::string& err) {
  std::smatch signature;
  return std::regex_search(err, signature, std::regex("\nSignature: ([0-9a-f]{16})\n"))
             ? signature[1].str()
             : std::string();
}

TEST_F(CrashReporting, ReportNamesVersionsAndASignatureOfTheFault) {
  const auto first = installation_.Launch({"--crash"});
  const auto second = installation_.Launch({"--crash"});
  const auto other = installation_.Launch({"--crash-other-way"});
  ASSERT_EQ(other.signal, SIGILL) << other.err;
  EXPECT_FALSE(SignatureOf(first.err).empty()) << first.err;
  EXPECT_EQ(SignatureOf(first.err), SignatureOf(second.err));
  EXPECT_FALSE(SignatureOf(other.err).empty()) << other.err;
  EXPECT_NE(SignatureOf(other.err), SignatureOf(first.err));
  EXPECT_TRUE(std::regex_search(first.err,
                                std::regex("\nApplication: Pellicor 19\\.0 \\(build [^)]+\\)\n")))
      << first.err;
  EXPECT_TRUE(std::regex_search(
      first.err, std::regex("\nCrash handler: vantilcrashhandler 19\\.0 \\(build [^)]+\\)\n")));
}

TEST_F(CrashReporting, SentSignalNamesItsSender) {
  const auto result = installation_.Launch({"--abort"});
  ASSERT_EQ(result.signal, SIGABRT) << result.err;
  std::smatch process;
  ASSERT_TRUE(std::regex_search(result.err, process, std::regex("\nProcess: ([0-9]+)\n")));
  EXPECT_NE(
      result.err.find("\nCrash: signal 6 (SIGABRT), code -6, sent by process " + process[1].str() +
                      " (itself), user " + std::to_string(getuid()) + "\n"),
      std::string::npos)
      << result.err;
}

// A document the editor maps, below the user's home folder, as the launcher is.
TEST_F(CrashReporting, ModulesAreExecutableObjectsOnlyAndHomeIsTilde) {
  installation_.Environment()["HOME"] = installation_.Root().string();
  const fs::path document = installation_.Root() / "Documents" / "Private Budget.pell";
  fs::create_directories(document.parent_path());
  std::ofstream(document) << std::string(8192, 'x');
  const auto result = installation_.Launch({"--map", document.string(), "--crash"});
  ASSERT_EQ(result.signal, SIGSEGV) << result.err;
  ASSERT_NE(result.out.find("probe: mapped"), std::string::npos) << result.out;
  const std::string report = Slurp(ReportFileNamed(result.err));
  EXPECT_EQ(report.find("Private Budget"), std::string::npos) << report;
  EXPECT_EQ(report.find(installation_.Root().string()), std::string::npos) << report;
  EXPECT_TRUE(std::regex_search(
      report, std::regex("  0x[0-9a-f]{16}-0x[0-9a-f]{16}  ~/Pellicor/Stoven\\.dll  build id ")))
      << report;
}

TEST_F(CrashReporting, PastSixtyFourThreadsTheRestAreCounted) {
  const auto result = installation_.Launch({"--many-threads"});
  ASSERT_EQ(result.signal, SIGSEGV) << result.err;
  EXPECT_EQ(Threads(result.err).size(), 64u);
  EXPECT_NE(result.err.find("\nNot read: 7 more threads, not shown\n"), std::string::npos)
      << result.err;
}

TEST_F(CrashReporting, SuppressedDialogIsNotAttempted) {
  const fs::path maker = installation_.Root() / "data-home" / "Harlund";
  fs::create_directories(maker);
  std::ofstream(maker / "DebugDatabase.txt") << "SuppressCrashHandlerDialog=true\n";

  const auto result = installation_.Launch({"--crash"});
  EXPECT_EQ(result.signal, SIGSEGV);
  EXPECT_NE(result.err.find("Product: VANTIL_PRODUCT_NAME\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("Crash dialog suppressed.\n"), std::string::npos);
  EXPECT_EQ(result.err.find(kMessageBox), std::string::npos);
}

// The demo module's crash switches, reported with the stacks of every thread.
class DemoCrash : public testing::Test {
 protected:
  void SetUp() override {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    fs::remove(installation_.Dir() / "SpeedLauncher-pellicor.xml");
  }

  // The user's crash folder when the environment names no state folder.
  fs::path CrashFolder() const {
    return installation_.Root() / "home" / ".local" / "state" / "Harlund" / "Pellicor" / "Crashes";
  }

  Installation installation_;
};

TEST_F(DemoCrash, CrashNamesRunInStovenAndTheModulesWithBuildIds) {
  const auto result = installation_.Launch({"--crash"});
  ASSERT_EQ(result.signal, SIGSEGV) << result.err;
  EXPECT_NE(result.err.find("Crash: signal 11 (SIGSEGV), code 1, address 0x100\n"),
            std::string::npos)
      << result.err;
  const std::vector<ThreadSection> threads = Threads(result.err);
  ASSERT_FALSE(threads.empty()) << result.err;
  EXPECT_TRUE(std::regex_search(threads[0].header,
                                std::regex("^Thread [0-9]+ \"Pellicor\" \\(crashed\\):$")))
      << threads[0].header;
  EXPECT_TRUE(std::regex_search(threads[0].frames,
                                std::regex("  #[0-9]+ +0x[0-9a-f]{16}  Stoven\\.dll\\+0x[0-9a-f]+  "
                                           "Run(\\.cold)?\\+0x[0-9a-f]+(  [^\n]*)?\n")))
      << threads[0].frames;
  EXPECT_NE(result.err.find("\nRegisters of thread "), std::string::npos);
  EXPECT_TRUE(std::regex_search(result.err, std::regex("  rip +0x[0-9a-f]{16}")));
  for (const char* module : {"/Pellicor", "/Stoven.dll", "/libvantilcore.so"}) {
    EXPECT_TRUE(std::regex_search(
        result.err, std::regex(std::string("  0x[0-9a-f]{16}-0x[0-9a-f]{16}  [^\n]*") + module +
                               "  build id [0-9a-f]{40}\n")))
        << module << "\n"
        << result.err;
  }
  // Nothing of the process's data: no environment, no command line.
  EXPECT_EQ(result.err.find("XDG_RUNTIME_DIR"), std::string::npos);
}

TEST_F(DemoCrash, CrashOnASecondThreadListsBothThreadsTheCrashedFirst) {
  const auto result = installation_.Launch({"--crash-thread"});
  ASSERT_EQ(result.signal, SIGSEGV) << result.err;
  const std::vector<ThreadSection> threads = Threads(result.err);
  ASSERT_EQ(threads.size(), 2u) << result.err;
  EXPECT_NE(threads[0].header.find("(crashed)"), std::string::npos);
  EXPECT_NE(threads[0].frames.find("Crash()"), std::string::npos) << threads[0].frames;
  EXPECT_EQ(threads[1].header.find("(crashed)"), std::string::npos);
  EXPECT_NE(threads[1].frames.find("  Run"), std::string::npos) << threads[1].frames;
  // Parked at the fault: still starting the thread, or already waiting for it.
  EXPECT_TRUE(threads[1].frames.find("std::thread::join()") != std::string::npos ||
              threads[1].frames.find("std::thread::_M_start_thread") != std::string::npos)
      << threads[1].frames;
}

TEST_F(DemoCrash, AbortIsReportedAsSigabrt) {
  const auto result = installation_.Launch({"--abort"});
  ASSERT_EQ(result.signal, SIGABRT) << result.err;
  EXPECT_NE(result.err.find("Crash: signal 6 (SIGABRT)"), std::string::npos) << result.err;
  const std::vector<ThreadSection> threads = Threads(result.err);
  ASSERT_FALSE(threads.empty()) << result.err;
  EXPECT_NE(threads[0].frames.find("Stoven.dll+"), std::string::npos) << threads[0].frames;
}

TEST_F(DemoCrash, StackOverflowInsideRunIsReportedWithBoundedFrames) {
  const auto result = installation_.Launch({"--stack-overflow"});
  ASSERT_EQ(result.signal, SIGSEGV) << result.err;
  const std::vector<ThreadSection> threads = Threads(result.err);
  ASSERT_FALSE(threads.empty()) << result.err;
  EXPECT_NE(threads[0].frames.find("Recurse("), std::string::npos);
  // The innermost 128, the number left out, and the outermost 16 down to main.
  EXPECT_EQ(Count(threads[0].frames, "  #"), 128u + 16u);
  std::smatch omitted;
  ASSERT_TRUE(std::regex_search(
      threads[0].frames, omitted,
      std::regex("\n  \\.\\.\\. ([0-9]+) frames not shown \\.\\.\\.\n  #([0-9]+) ")))
      << threads[0].frames;
  EXPECT_EQ(std::stoul(omitted[2].str()), 128u + std::stoul(omitted[1].str()));
  EXPECT_NE(threads[0].frames.find(" main+"), std::string::npos);
}

TEST_F(DemoCrash, WithoutALogFolderTheCrashFolderKeepsTheNewestTwenty) {
  const auto first = installation_.Launch({"--crash"});
  ASSERT_EQ(first.signal, SIGSEGV);
  const fs::path folder = CrashFolder();
  const fs::path report = ReportFileNamed(first.err);
  EXPECT_EQ(report.parent_path(), folder) << first.err;
  ASSERT_TRUE(fs::is_regular_file(report)) << first.err;
  EXPECT_NE(Slurp(report).find("(crashed):\n"), std::string::npos);
  EXPECT_NE(first.err.find("A crash report was saved as " + report.string()), std::string::npos);
  EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);

  // Older reports, a dump beside one of them, and a file that is not ours.
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (int id = 1; id <= 24; ++id) {
    const fs::path file = folder / ("crash-" + std::to_string(id) + ".txt");
    std::ofstream(file) << "old\n";
    fs::last_write_time(file, old + std::chrono::seconds(id));
  }
  std::ofstream(folder / "crash-1.dmp") << "dump\n";
  fs::last_write_time(folder / "crash-1.dmp", old);
  std::ofstream(folder / "notes.txt") << "mine\n";
  fs::last_write_time(folder / "notes.txt", old);

  const auto second = installation_.Launch({"--crash"});
  ASSERT_EQ(second.signal, SIGSEGV);
  std::size_t reports = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".txt" && entry.path().filename() != "notes.txt") ++reports;
  }
  EXPECT_EQ(reports, 20u);
  EXPECT_TRUE(fs::exists(ReportFileNamed(second.err)));
  EXPECT_TRUE(fs::exists(report));  // newer than the made-up ones
  EXPECT_FALSE(fs::exists(folder / "crash-1.txt"));
  EXPECT_FALSE(fs::exists(folder / "crash-1.dmp"));
  EXPECT_TRUE(fs::exists(folder / "crash-24.txt"));
  EXPECT_TRUE(fs::exists(folder / "notes.txt"));
}

// Our reports in a folder, by name, the dumps left out.
std::size_t ReportsIn(const fs::path& folder) {
  std::size_t reports = 0;
  const std::regex ours("crash-[0-9-]+[0-9a-f]*\\.txt");
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (std::regex_match(entry.path().filename().string(), ours)) ++reports;
  }
  return reports;
}

TEST_F(DemoCrash, TheConsoleLogFolderKeepsTheNewestTwentyToo) {
  const fs::path logs = installation_.Root() / "logs";
  fs::create_directories(logs);
  std::ofstream(logs / "console.log") << "started\n";
  installation_.Environment()["VANTIL_CONSOLE_LOG"] = (logs / "console.log").string();
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (int id = 1; id <= 22; ++id) {
    const fs::path file = logs / ("crash-20261201-120000-" + std::to_string(id) + "-0000abcd.txt");
    std::ofstream(file) << "old\n";
    fs::last_write_time(file, old + std::chrono::seconds(id));
  }
  const auto result = installation_.Launch({"--crash"});
  ASSERT_EQ(result.signal, SIGSEGV);
  EXPECT_EQ(ReportFileNamed(result.err).parent_path(), logs) << result.err;
  EXPECT_EQ(ReportsIn(logs), 20u);
  EXPECT_TRUE(fs::exists(logs / "console.log"));
  EXPECT_FALSE(fs::exists(logs / "crash-20261201-120000-3-0000abcd.txt"));
  EXPECT_TRUE(fs::exists(logs / "crash-20261201-120000-4-0000abcd.txt"));
}

// Sandboxed packages run the launcher in a PID namespace of its own, where
// every run may get the same process id.
TEST_F(DemoCrash, CrashesInSeparatePidNamespacesLeaveOneReportEach) {
  const std::string command =
      "'" + (installation_.Dir() / "Pellicor").string() + "' --crash; exit 0";
  std::vector<std::string> processIds;
  for (int run = 0; run < 3; ++run) {
    const auto result = testing_support::RunChild(
        "/usr/bin/unshare",
        {"--user", "--map-root-user", "--pid", "--fork", "--mount-proc", "/bin/sh", "-c", command},
        installation_.Environment());
    if (result.exitStatus != 0 && result.err.rfind("unshare:", 0) == 0) {
      GTEST_SKIP() << "no PID namespaces here: " << result.err;
    }
    std::smatch process;
    ASSERT_TRUE(std::regex_search(result.err, process, std::regex("Process: ([0-9]+)\n")))
        << result.err;
    processIds.push_back(process[1].str());
  }
  EXPECT_EQ(processIds, std::vector<std::string>(3, processIds.front()));
  EXPECT_EQ(ReportsIn(CrashFolder()), 3u);
}

TEST_F(DemoCrash, StateFolderOfTheEnvironmentIsUsed) {
  installation_.Environment()["XDG_STATE_HOME"] = (installation_.Root() / "state").string();
  const auto result = installation_.Launch({"--crash"});
  ASSERT_EQ(result.signal, SIGSEGV);
  EXPECT_EQ(ReportFileNamed(result.err).parent_path(),
            installation_.Root() / "state" / "Harlund" / "Pellicor" / "Crashes")
      << result.err;
}

// What the crash host does, or fails to do, never keeps the process alive
// beyond the host's time limit, and the process dies of its own signal.
class BrokenCrashHost : public DemoCrash {
 protected:
  fs::path Host() const { return installation_.Dir() / "pellicor-crash-host"; }

  void ReplaceHost(const std::string& script) {
    fs::remove(Host());
    std::ofstream(Host()) << "#!/bin/sh\n" << script;
    fs::permissions(Host(), fs::perms::owner_all);
  }

  // The launcher's run and how long it took.
  std::pair<testing_support::ChildResult, std::chrono::duration<double>> TimedCrash() {
    const auto start = std::chrono::steady_clock::now();
    auto result = installation_.Launch({"--crash"});
    return {result, std::chrono::steady_clock::now() - start};
  }
};

constexpr std::chrono::seconds kHostTimeLimit{10};

TEST_F(BrokenCrashHost, MissingOrNotExecutableHostEndsTheProcessAtOnce) {
  fs::permissions(Host(), fs::perms::owner_read | fs::perms::owner_write);
  auto [notExecutable, took] = TimedCrash();
  EXPECT_EQ(notExecutable.signal, SIGSEGV);
  EXPECT_LT(took, kHostTimeLimit / 2);
  EXPECT_EQ(NoReportReason(notExecutable.err),
            "cannot start " + Host().string() + ": Permission denied")
      << notExecutable.err;

  fs::remove(Host());
  auto [missing, tookMissing] = TimedCrash();
  EXPECT_EQ(missing.signal, SIGSEGV);
  EXPECT_LT(tookMissing, kHostTimeLimit / 2);
  EXPECT_EQ(NoReportReason(missing.err),
            "cannot start " + Host().string() + ": No such file or directory")
      << missing.err;
}

TEST_F(BrokenCrashHost, CrashingHostEndsTheProcessAtOnce) {
  ReplaceHost("kill -SEGV $$\n");
  auto [result, took] = TimedCrash();
  EXPECT_EQ(result.signal, SIGSEGV);
  EXPECT_LT(took, kHostTimeLimit / 2);
  EXPECT_EQ(NoReportReason(result.err), "the crash host died of SIGSEGV (Segmentation fault)")
      << result.err;
}

TEST_F(BrokenCrashHost, ReportFolderThatCannotBeMadeIsNamedWithTheReason) {
  const fs::path state = installation_.Root() / "state";
  fs::create_directories(state);
  std::ofstream(state / "Harlund") << "a file where the folder would go\n";
  installation_.Environment()["XDG_STATE_HOME"] = state.string();
  const auto result = installation_.Launch({"--crash"});
  EXPECT_EQ(result.signal, SIGSEGV);
  EXPECT_TRUE(std::regex_search(
      result.err,
      std::regex("\nReport file: not written: " + (state / "Harlund").string() + ": [^\n]+\n")))
      << result.err;
  EXPECT_NE(result.err.find("\nThread "), std::string::npos);  // the report, on standard error
}

TEST_F(BrokenCrashHost, UnwritableRegistryStillEndsWithALine) {
  installation_.Environment()["XDG_RUNTIME_DIR"] = "/dev/null/run";
  const auto result = installation_.Launch({"--abort"});
  EXPECT_EQ(result.signal, SIGABRT);
  EXPECT_EQ(NoReportReason(result.err, "SIGABRT"),
            "no crash handler is registered: the start-up had not registered it yet, or could not "
            "write its registry value")
      << result.err;
}

// Someone kills the crashed process with a crash signal while it waits for
// its report.
TEST_F(BrokenCrashHost, SignalSentDuringTheReportDoesNotEndIt) {
  const std::string real = Host().string() + ".real";
  fs::rename(Host(), real);
  ReplaceHost("kill -SEGV $PPID\nexec '" + real + "' \"$@\"\n");
  const auto result = installation_.Launch({"--crash"});
  EXPECT_EQ(result.signal, SIGSEGV);
  EXPECT_NE(result.err.find("\nCrash: signal 11 (SIGSEGV), code 1, address 0x100\n"),
            std::string::npos)
      << result.err;
  EXPECT_TRUE(fs::is_regular_file(ReportFileNamed(result.err))) << result.err;
}

TEST_F(BrokenCrashHost, HangingHostIsWaitedForOnlyUntilTheLimit) {
  const fs::path pidFile = installation_.Root() / "host.pid";
  ReplaceHost("echo $$ > '" + pidFile.string() + "'\nexec sleep 60\n");
  auto [result, took] = TimedCrash();
  std::ifstream in(pidFile);
  pid_t host = 0;
  ASSERT_TRUE(in >> host && host > 0);
  EXPECT_EQ(result.signal, SIGSEGV);
  EXPECT_GE(took, kHostTimeLimit - std::chrono::seconds(1));
  EXPECT_LT(took, kHostTimeLimit + std::chrono::seconds(5));
  EXPECT_EQ(NoReportReason(result.err), "the crash host did not finish within 10 s and was ended")
      << result.err;
  EXPECT_NE(kill(host, 0), 0);  // ended, not left behind
}

}  // namespace

namespace {

// A launcher installed deep down: the crash handler's path encodes to far
// more than one file name allows, and is still registered and called.
TEST_F(CrashReporting, LauncherAtALongPathRegistersAndReports) {
  std::string deep = installation_.Root().string();
  while (deep.size() + 61 <= 250) deep.append("/").append(60, 'd');
  deep += '/';
  deep.append(250 - deep.size(), 'd');
  ASSERT_EQ(deep.size(), 250u);
  fs::create_directories(fs::path(deep).parent_path());
  fs::rename(installation_.Dir(), deep);

  const auto run =
      testing_support::RunChild(fs::path(deep) / "Pellicor", {}, installation_.Environment());
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.out.find("probe: registry value %h"), std::string::npos) << run.out;
  EXPECT_FALSE(installation_.RegistryValueLeft());

  const auto crash = testing_support::RunChild(fs::path(deep) / "Pellicor", {"--crash"},
                                               installation_.Environment());
  EXPECT_EQ(crash.signal, SIGSEGV) << crash.err;
  EXPECT_NE(crash.err.find("Product: VANTIL_PRODUCT_NAME\n"), std::string::npos) << crash.err;
}

}  // namespace
