#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "crash_signals_posix.h"
#include "platform/error_reporting.h"
#include "test_support/scratch_folder.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kModule[] = u"/opt/Pellicor/vantilcrashhandler.dll";
constexpr char16_t kOtherModule[] = u"/opt/Pellicor/other.dll";

void Marker(int) {}

bool HandledByUs(int signal) {
  struct sigaction current {};
  sigaction(signal, nullptr, &current);
  return (current.sa_flags & SA_SIGINFO) != 0 && (current.sa_flags & SA_ONSTACK) != 0;
}

bool HandledByMarker(int signal) {
  struct sigaction current {};
  sigaction(signal, nullptr, &current);
  return (current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == Marker;
}

TEST(ErrorReporting, HandlersLiveFromFirstRegistrationToLastUnregistration) {
  std::vector<struct sigaction> saved(kCrashSignals.size());
  for (std::size_t i = 0; i < kCrashSignals.size(); ++i) {
    struct sigaction marker {};
    marker.sa_handler = Marker;
    sigaction(kCrashSignals[i], &marker, &saved[i]);
  }
  stack_t stackBefore{};
  sigaltstack(nullptr, &stackBefore);
  int first = 0, second = 0;

  EXPECT_EQ(WerRegisterRuntimeExceptionModule(nullptr, &first), static_cast<HResult>(0x80070057u));
  EXPECT_EQ(WerRegisterRuntimeExceptionModule(u"", &first), static_cast<HResult>(0x80070057u));
  ASSERT_EQ(WerRegisterRuntimeExceptionModule(kModule, &first), kSOk);
  for (int signal : kCrashSignals) EXPECT_TRUE(HandledByUs(signal)) << signal;
  stack_t stackDuring{};
  sigaltstack(nullptr, &stackDuring);
  EXPECT_EQ(stackDuring.ss_flags & SS_DISABLE, 0);
  EXPECT_NE(stackDuring.ss_sp, stackBefore.ss_sp);

  EXPECT_FALSE(Succeeded(WerRegisterRuntimeExceptionModule(kModule, &first)));
  ASSERT_EQ(WerRegisterRuntimeExceptionModule(kModule, &second), kSOk);
  EXPECT_EQ(WerUnregisterRuntimeExceptionModule(kModule, &first), kSOk);
  EXPECT_FALSE(Succeeded(WerUnregisterRuntimeExceptionModule(kModule, &first)));
  EXPECT_FALSE(Succeeded(WerUnregisterRuntimeExceptionModule(kOtherModule, &second)));
  for (int signal : kCrashSignals) EXPECT_TRUE(HandledByUs(signal)) << signal;

  EXPECT_EQ(WerUnregisterRuntimeExceptionModule(kModule, &second), kSOk);
  for (int signal : kCrashSignals) EXPECT_TRUE(HandledByMarker(signal)) << signal;
  stack_t stackAfter{};
  sigaltstack(nullptr, &stackAfter);
  EXPECT_EQ(stackAfter.ss_sp, stackBefore.ss_sp);
  EXPECT_EQ(stackAfter.ss_flags, stackBefore.ss_flags);

  for (std::size_t i = 0; i < kCrashSignals.size(); ++i) {
    sigaction(kCrashSignals[i], &saved[i], nullptr);
  }
}

TEST(ErrorReporting, AtMostEightModules) {
  int contexts[9] = {};
  for (int i = 0; i < 8; ++i) {
    ASSERT_EQ(WerRegisterRuntimeExceptionModule(kModule, &contexts[i]), kSOk) << i;
  }
  EXPECT_FALSE(Succeeded(WerRegisterRuntimeExceptionModule(kModule, &contexts[8])));
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(WerUnregisterRuntimeExceptionModule(kModule, &contexts[i]), kSOk);
}

// The crash host stand-in beside this test writes here how it was started.
class CrashHostRun : public testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "fast");
    setenv("PELLICOR_PROBE_OUT", probeOut_.c_str(), 1);
  }
  void TearDown() override { unsetenv("PELLICOR_PROBE_OUT"); }

  std::vector<std::string> ProbeLines() const {
    std::vector<std::string> lines;
    std::ifstream in(probeOut_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  testing_support::ScratchFolder folder_{"pellicor-probe"};
  fs::path probeOut_ = folder_.Dir() / "probe";
};

std::string Address(const void* address) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(address)));
  return text;
}

std::uint64_t record = 0x1122334455667788ull;

// An invalid write to a low address that is never mapped; not null, which
// the undefined-behaviour sanitizer would stop before it faults.
constexpr std::uintptr_t kUnmapped = 0x100;

[[noreturn]] void WriteToUnmapped() {
  // A volatile store: the compiler may not drop it before abort().
  volatile std::uint32_t* volatile nowhere = reinterpret_cast<std::uint32_t*>(kUnmapped);
  *nowhere = 1;
  std::abort();
}

TEST_F(CrashHostRun, InvalidWriteStartsHostPerModuleThenDiesOfTheSignal) {
  EXPECT_EXIT(
      {
        WerRegisterRuntimeExceptionModule(kModule, &record);
        WerRegisterRuntimeExceptionModule(kOtherModule, nullptr);
        WriteToUnmapped();
      },
      testing::KilledBySignal(SIGSEGV), "");

  const std::vector<std::string> lines = ProbeLines();
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(fs::path(lines[0]).filename(), "pellicor-crash-host");
  EXPECT_NE(lines[1], std::to_string(getpid()));  // the crashed child, not us
  EXPECT_EQ(lines[3], "/opt/Pellicor/vantilcrashhandler.dll");
  EXPECT_EQ(lines[4], Address(&record));
  EXPECT_EQ(lines[5], std::to_string(SIGSEGV));
  EXPECT_EQ(lines[6], std::to_string(SEGV_MAPERR));
  EXPECT_EQ(lines[7], Address(reinterpret_cast<void*>(kUnmapped)));
  EXPECT_EQ(lines[10], "read 1122334455667788");  // the host may read the crashed process
  EXPECT_EQ(lines[11 + 1], lines[1]);
  EXPECT_EQ(lines[11 + 3], "/opt/Pellicor/other.dll");
  EXPECT_EQ(lines[11 + 4], "0x0");
}

TEST_F(CrashHostRun, AbortIsReportedAsItsSignal) {
  EXPECT_EXIT(
      {
        WerRegisterRuntimeExceptionModule(kModule, &record);
        std::abort();
      },
      testing::KilledBySignal(SIGABRT), "");
  const std::vector<std::string> lines = ProbeLines();
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[5], std::to_string(SIGABRT));
}

TEST_F(CrashHostRun, NoHostOnceUnregistered) {
  EXPECT_EXIT(
      {
        WerRegisterRuntimeExceptionModule(kModule, &record);
        WerUnregisterRuntimeExceptionModule(kModule, &record);
        std::abort();
      },
      testing::KilledBySignal(SIGABRT), "");
  EXPECT_FALSE(fs::exists(probeOut_));
}

}  // namespace
}  // namespace platform
