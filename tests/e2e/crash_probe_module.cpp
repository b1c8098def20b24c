// An application module for the crash reporting tests: it reports what it
// finds of the crash registration while "Run" runs, and with "--crash"
// crashes by an invalid write to address 0x100; with "--crash-two-threads"
// two threads make that write at once.
#include <Stoven/Run.h>
#include <signal.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

void ListRegistryValues() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr) return;
  const std::filesystem::path key = std::filesystem::path(runtime) / "pellicor-registry" /
                                    "HKEY_CURRENT_USER" / "SOFTWARE" / "Microsoft" / "Windows" /
                                    "Windows Error Reporting" / "RuntimeExceptionHelperModules";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(key, error)) {
    std::printf("probe: registry value %s\n", entry.path().filename().c_str());
  }
}

void ReportSegvHandler() {
  struct sigaction current {};
  sigaction(SIGSEGV, nullptr, &current);
  const bool handled = (current.sa_flags & SA_SIGINFO) != 0 && current.sa_sigaction != nullptr;
  std::printf("probe: SIGSEGV %s\n", handled ? "handled" : "not handled");
}

void WriteToUnmapped() {
  // Both volatile: the store may not be dropped. A low address that is
  // never mapped, not null, which sanitizers would stop before it faults.
  volatile std::uint32_t* volatile nowhere = reinterpret_cast<std::uint32_t*>(0x100);
  *nowhere = 0xDEADu;
}

void CrashTwoThreadsAtOnce() {
  std::atomic<int> ready{0};
  auto crash = [&ready] {
    ready.fetch_add(1);
    while (ready.load() < 2) {
    }
    WriteToUnmapped();
  };
  std::thread first(crash);
  std::thread second(crash);
  first.join();
  second.join();
}

}  // namespace

EXPORT std::int32_t Run(const UTF16String& commandLine, std::int32_t, std::uint32_t) {
  ListRegistryValues();
  ReportSegvHandler();
  std::fflush(stdout);
  if (commandLine.find(u"--crash-two-threads") != UTF16String::npos) CrashTwoThreadsAtOnce();
  if (commandLine.find(u"--crash") != UTF16String::npos) WriteToUnmapped();
  return 0;
}
