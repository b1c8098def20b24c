#pragma once

#include <signal.h>

#include <string>

#include "platform/export.h"

namespace platform {

// How long a crashed process waits for the host's report.
inline constexpr int kCrashHostTimeLimitSeconds = 10;

// The crash host beside the running executable; empty when its directory
// cannot be told.
PLATFORM_API std::string CrashHostPath();

// One start of the crash host for one registered module, prepared before any
// crash so that the signal handler only fills in numbers.
class PLATFORM_API CrashHostCall {
 public:
  // False when a path does not fit or contains a NUL.
  bool Prepare(const std::string& hostPath, const std::string& modulePath, const void* context);

  // Signal context: starts the host, lets it trace this process and waits
  // for its report, at most the time limit; a host that does not finish in
  // time is ended. Without a report, one line on standard error says why.
  // After the last host the caller dies at once, and that host with it;
  // an earlier one is let go first.
  void Run(int signal, const siginfo_t* info, const void* machineContext, bool last) const;

 private:
  static constexpr std::size_t kPathCapacity = 4096;
  char host_[kPathCapacity] = {};
  char module_[kPathCapacity] = {};
  char context_[24] = {};
};

}  // namespace platform
