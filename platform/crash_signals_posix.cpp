#include "crash_signals_posix.h"

#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>

namespace platform {
namespace {

// Big enough for the reporter's frames, with room for sanitizer builds.
constexpr std::size_t kAlternateStackSize = 128 * 1024;

std::atomic<CrashReporter> currentReporter{nullptr};
// The thread that reports; 0 until the first crash.
std::atomic<long> reportingThread{0};

[[noreturn]] void DieOf(int signal) {
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal, &fallback, nullptr);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, signal);
  pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
  raise(signal);
  // Only a signal whose default is ignored gets here; nothing is.
  _exit(128 + signal);
}

void OnCrashSignal(int signal, siginfo_t* info, void* machineContext) {
  const long self = syscall(SYS_gettid);
  long expected = 0;
  if (reportingThread.compare_exchange_strong(expected, self)) {
    if (CrashReporter reporter = currentReporter.load()) reporter(signal, info, machineContext);
  } else if (expected != self) {
    // Another thread is reporting and will end the process.
    for (;;) pause();
  }
  // The reporting thread, or a fault inside its own report.
  DieOf(signal);
}

}  // namespace

CrashSignalHandlers::CrashSignalHandlers(CrashReporter reporter) {
  currentReporter.store(reporter);
  void* stack = mmap(nullptr, kAlternateStackSize, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (stack != MAP_FAILED) {
    stack_ = stack;
    stackSize_ = kAlternateStackSize;
    stack_t alternate{};
    alternate.ss_sp = stack_;
    alternate.ss_size = stackSize_;
    stackInstalled_ = sigaltstack(&alternate, &previousStack_) == 0;
  }
  for (std::size_t i = 0; i < kCrashSignals.size(); ++i) {
    struct sigaction action {};
    action.sa_sigaction = OnCrashSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    // Nothing blocked: a fault inside the report comes back here and ends it.
    sigemptyset(&action.sa_mask);
    sigaction(kCrashSignals[i], &action, &previous_[i]);
  }
}

CrashSignalHandlers::~CrashSignalHandlers() {
  for (std::size_t i = 0; i < kCrashSignals.size(); ++i) {
    sigaction(kCrashSignals[i], &previous_[i], nullptr);
  }
  if (stackInstalled_) {
    stack_t previous = previousStack_;
    previous.ss_flags &= SS_DISABLE;
    sigaltstack(&previous, nullptr);
  }
  if (stack_ != nullptr) munmap(stack_, stackSize_);
  currentReporter.store(nullptr);
}

}  // namespace platform
