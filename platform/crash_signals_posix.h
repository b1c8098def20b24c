#pragma once

#include <signal.h>

#include <array>
#include <cstddef>

#include "platform/export.h"
#include "platform/signal_stack.h"

namespace platform {

// Runs on the crashing thread in signal context: async-signal-safe work only.
using CrashReporter = void (*)(int signal, siginfo_t* info, void* machineContext);

inline constexpr std::array<int, 6> kCrashSignals = {SIGSEGV, SIGBUS,  SIGILL,
                                                     SIGFPE,  SIGABRT, SIGTRAP};

// While it lives, the fatal signals of every thread run `reporter` on the
// thread's alternate stack (this one gives the constructing thread one).
// The first crashing thread parks every other thread in a signal handler
// that never returns, reports, and the process dies of its signal; threads
// that crash meanwhile wait, and a fault inside the report ends it with a
// line on standard error. The previous handlers come back at destruction,
// which must happen on the constructing thread. One at a time.
class PLATFORM_API CrashSignalHandlers {
 public:
  explicit CrashSignalHandlers(CrashReporter reporter);
  ~CrashSignalHandlers();
  CrashSignalHandlers(const CrashSignalHandlers&) = delete;
  CrashSignalHandlers& operator=(const CrashSignalHandlers&) = delete;

 private:
  SignalStack stack_;
  std::array<struct sigaction, kCrashSignals.size()> previous_{};
};

}  // namespace platform
