// An application module for the crash reporting tests: it reports what it
// finds of the crash registration while "Run" runs, and crashes as its
// command line asks:
//   --crash                 an invalid write to address 0x100
//   --crash-two-threads     two threads make that write at once
//   --crash-other-way       a different fault: an invalid instruction
//   --overflow-thread       a worker thread overflows its stack
//   --bad-stack-thread      a worker thread faults with a garbage stack pointer
//   --crash-while-printing  a thread prints "tick" every millisecond; the
//                           main thread prints "fault" and makes the write
//   --crash-while-printing-unsignalled   the same, the printing thread
//                           blocking every signal
//   --not-dumpable          makes the process non-dumpable first
//   --map FILE              maps FILE into memory first
//   --abort                 calls abort()
//   --crash-inlined         the write from a function inlined into another
//   --many-threads          70 threads wait while the main thread makes the write
#include <Stoven/Run.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/command_line.h"

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

__attribute__((noinline)) void WriteToUnmapped() {
  // Both volatile: the store may not be dropped. A low address that is
  // never mapped, not null, which sanitizers would stop before it faults.
  volatile std::uint32_t* volatile nowhere = reinterpret_cast<std::uint32_t*>(0x100);
  *nowhere = 0xDEADu;
}

[[gnu::always_inline]] inline void StoreThrough(volatile std::uint32_t* where) {
  *where = 0xBEEFu;  // the inlined faulting statement
}

__attribute__((noinline)) void CrashThroughInline() {
  std::uint32_t* volatile nowhere = reinterpret_cast<std::uint32_t*>(0x100);
  StoreThrough(nowhere);
  std::abort();
}

[[noreturn]] void CrashAmongManyThreads() {
  for (int i = 0; i < 70; ++i) {
    std::thread([] {
      for (;;) pause();
    }).detach();
  }
  WriteToUnmapped();
  std::abort();
}

// Not a division by zero, which the sanitizers would stop before it faults.
__attribute__((noinline)) int ExecuteInvalidInstruction() { __builtin_trap(); }

void CrashTwoThreadsAtOnce() {
  std::atomic<int> ready{0};
  auto crash = [&ready] {
    pthread_setname_np(pthread_self(), "crasher");
    ready.fetch_add(1);
    while (ready.load() < 2) {
    }
    WriteToUnmapped();
    ready.fetch_add(1);  // not a tail call: this frame stays on the stack
  };
  std::thread first(crash);
  std::thread second(crash);
  first.join();
  second.join();
}

// Deeper than any stack: each call keeps a buffer the compiler cannot drop.
__attribute__((noinline)) std::uint32_t Recurse(std::uint32_t depth) {
  if (depth == UINT32_MAX) return 0;
  volatile char buffer[1024];
  buffer[depth % sizeof buffer] = static_cast<char>(depth);
  return Recurse(depth + 1) + static_cast<std::uint32_t>(buffer[0]);
}

__attribute__((noinline)) void PushOnGarbageStack() {
#if defined(__x86_64__)
  asm volatile("movq $0x1000, %%rsp\n\tpushq %%rax" ::: "memory");
#endif
  WriteToUnmapped();
}

void Say(const char* line) {
  const std::string text = std::string(line) + "\n";
  if (write(STDOUT_FILENO, text.data(), text.size()) < 0) std::abort();
}

[[noreturn]] void CrashWhilePrinting(bool blockSignals) {
  std::thread([blockSignals] {
    sigset_t all;
    sigfillset(&all);
    if (blockSignals) pthread_sigmask(SIG_BLOCK, &all, nullptr);
    for (;;) {
      Say("tick");
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }).detach();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  Say("fault");
  WriteToUnmapped();
  std::abort();
}

void MapFile(const std::u16string& path) {
  const std::string narrow(path.begin(), path.end());
  const int file = open(narrow.c_str(), O_RDONLY);
  struct stat status {};
  if (file < 0 || fstat(file, &status) != 0 || status.st_size == 0) return;
  void* mapped =
      mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_PRIVATE, file, 0);
  close(file);
  if (mapped != MAP_FAILED) std::printf("probe: mapped %s\n", narrow.c_str());
}

}  // namespace

EXPORT std::int32_t Run(const UTF16String& commandLine, std::int32_t, std::uint32_t) {
  ListRegistryValues();
  ReportSegvHandler();
  std::fflush(stdout);
  const std::vector<std::u16string> arguments =
      platform::SplitCommandLine(std::u16string_view(commandLine.data(), commandLine.size()));
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::u16string& argument = arguments[i];
    if (argument == u"--not-dumpable") prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    if (argument == u"--map" && i + 1 < arguments.size()) MapFile(arguments[++i]);
  }
  std::fflush(stdout);
  for (const std::u16string& argument : arguments) {
    if (argument == u"--crash-two-threads") CrashTwoThreadsAtOnce();
    if (argument == u"--crash") WriteToUnmapped();
    if (argument == u"--crash-other-way") return ExecuteInvalidInstruction();
    if (argument == u"--overflow-thread") std::thread([] { Recurse(0); }).join();
    if (argument == u"--bad-stack-thread") std::thread(PushOnGarbageStack).join();
    if (argument == u"--crash-while-printing") CrashWhilePrinting(false);
    if (argument == u"--crash-while-printing-unsignalled") CrashWhilePrinting(true);
    if (argument == u"--abort") std::abort();
    if (argument == u"--crash-inlined") CrashThroughInline();
    if (argument == u"--many-threads") CrashAmongManyThreads();
  }
  return 0;
}
