#pragma once

#include <signal.h>

#include <array>
#include <cstddef>

#include "platform/export.h"

namespace platform {

// Runs on the crashing thread in signal context: async-signal-safe work only.
using CrashReporter = void (*)(int signal, siginfo_t* info, void* machineContext);

inline constexpr std::array<int, 6> kCrashSignals = {SIGSEGV, SIGBUS,  SIGILL,
                                                     SIGFPE,  SIGABRT, SIGTRAP};

// While it lives, the fatal signals run `reporter` on an alternate stack of
// the constructing thread; the first crashing thread reports, and then the
// process dies of its signal. The previous handlers and stack come back at
// destruction, which must happen on the constructing thread. One at a time.
class PLATFORM_API CrashSignalHandlers {
 public:
  explicit CrashSignalHandlers(CrashReporter reporter);
  ~CrashSignalHandlers();
  CrashSignalHandlers(const CrashSignalHandlers&) = delete;
  CrashSignalHandlers& operator=(const CrashSignalHandlers&) = delete;

 private:
  std::array<struct sigaction, kCrashSignals.size()> previous_{};
  stack_t previousStack_{};
  void* stack_ = nullptr;
  std::size_t stackSize_ = 0;
  bool stackInstalled_ = false;
};

}  // namespace platform
