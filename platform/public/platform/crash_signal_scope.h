#pragma once

// POSIX only: crash signals handled for the whole life of a process, not
// only while a crash handler module is registered.
#include "platform/export.h"

namespace platform {

// While it lives, a fatal signal on any thread goes to the registered crash
// handler modules, or, with none registered, ends the process with a line on
// standard error that says so. Made first thing on the main thread, which
// also gets its alternate signal stack from it.
class PLATFORM_API CrashSignalScope {
 public:
  CrashSignalScope();
  ~CrashSignalScope();
  CrashSignalScope(const CrashSignalScope&) = delete;
  CrashSignalScope& operator=(const CrashSignalScope&) = delete;
};

}  // namespace platform
