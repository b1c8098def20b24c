#include "crash_signals_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

#include "crash_notice_posix.h"

namespace platform {
namespace {

std::atomic<CrashReporter> currentReporter{nullptr};
// The thread that reports; 0 until the first crash.
std::atomic<long> reportingThread{0};
std::atomic<int> firstSignal{0};

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

// Where the other threads wait for the end: not in their own code.
void Park(int) {
  for (;;) pause();
}

constexpr std::size_t kMaxParked = 1024;
constexpr int kParkPasses = 4;

// Every other thread is sent a signal whose handler never returns, taken
// over for this. A thread that blocks it runs on until the crash host stops
// it; so does one started while the list is read, unless a later pass of
// the list finds it.
void ParkOtherThreads(long self) {
  struct sigaction park {};
  park.sa_handler = Park;
  park.sa_flags = SA_ONSTACK | SA_RESTART;
  sigfillset(&park.sa_mask);
  const int parkSignal = SIGRTMAX;
  if (sigaction(parkSignal, &park, nullptr) != 0) return;
  const pid_t process = getpid();
  pid_t parked[kMaxParked];
  std::size_t parkedCount = 0;
  for (int pass = 0; pass < kParkPasses; ++pass) {
    const int tasks = open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (tasks < 0) return;
    bool found = false;
    alignas(8) char entries[4096];
    for (;;) {
      const long length = syscall(SYS_getdents64, tasks, entries, sizeof entries);
      if (length <= 0) break;
      for (long at = 0; at < length;) {
        const auto* entry = reinterpret_cast<const dirent64*>(entries + at);
        at += entry->d_reclen;
        long id = 0;
        const char* digit = entry->d_name;
        for (; *digit >= '0' && *digit <= '9'; ++digit) id = id * 10 + (*digit - '0');
        if (*digit != '\0' || id <= 0 || id == self) continue;
        bool known = false;
        for (std::size_t i = 0; i < parkedCount && !known; ++i) known = parked[i] == id;
        if (known || parkedCount == kMaxParked) continue;
        parked[parkedCount++] = static_cast<pid_t>(id);
        found = true;
        syscall(SYS_tgkill, process, id, parkSignal);
      }
    }
    close(tasks);
    if (!found) return;
  }
}

void OnCrashSignal(int signal, siginfo_t* info, void* machineContext) {
  const long self = syscall(SYS_gettid);
  long expected = 0;
  if (reportingThread.compare_exchange_strong(expected, self)) {
    firstSignal.store(signal);
    ParkOtherThreads(self);
    if (CrashReporter reporter = currentReporter.load()) {
      reporter(signal, info, machineContext);
    } else {
      CrashNotice().Start(signal).Text("no crash report: crash reporting is being undone").Write();
    }
    DieOf(signal);
  }
  if (expected == self) {
    // A signal another process sends meanwhile (a kill of the reporting
    // process) is no fault of the handler: the report goes on.
    if (info != nullptr && info->si_code <= 0 && info->si_pid != getpid()) return;
    // The handlers do not defer their own signal, so a fault inside the
    // report comes back here instead of killing the process unseen.
    const int first = firstSignal.load();
    CrashNotice()
        .Start(first)
        .Text("no crash report: the crash handler failed with ")
        .Signal(signal)
        .Write();
    DieOf(first);
  }
  // Another thread is reporting and will end the process.
  for (;;) pause();
}

}  // namespace

CrashSignalHandlers::CrashSignalHandlers(CrashReporter reporter) {
  currentReporter.store(reporter);
  for (std::size_t i = 0; i < kCrashSignals.size(); ++i) {
    struct sigaction action {};
    action.sa_sigaction = OnCrashSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    sigaction(kCrashSignals[i], &action, &previous_[i]);
  }
}

CrashSignalHandlers::~CrashSignalHandlers() {
  for (std::size_t i = 0; i < kCrashSignals.size(); ++i) {
    sigaction(kCrashSignals[i], &previous_[i], nullptr);
  }
  currentReporter.store(nullptr);
}

}  // namespace platform
