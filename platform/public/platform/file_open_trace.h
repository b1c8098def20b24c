#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/export.h"

namespace platform {

// A moment on the clock the file system stamps changes with.
struct FileClockStamp {
  std::int64_t seconds = 0;
  std::int64_t nanoseconds = 0;
};

enum class TraceFailure {
  kNone,
  kCannotTrace,  // the system refused to let this process trace its child
  kCannotRun,    // the program could not be started (not found, not executable)
};

struct TraceOutcome {
  TraceFailure failure = TraceFailure::kNone;
  int error = 0;             // the system's error number of the failure
  bool timedOut = false;     // the time ran out; the program was left running untraced
  int exitStatus = 0;        // the program's, when it ended (128 + signal when killed)
  FileClockStamp startedAt;  // FileClockNextTick just before the program started
};

struct TraceListener {
  // The absolute path of a regular file a traced process opened for
  // reading, and of each program a traced process started (with the loader
  // that runs it), which the system reads. In order, repeats included.
  std::function<void(const std::string& path)> read;
  // A program started without the privilege its file grants ("set-user-ID",
  // "set-group-ID" or "file capabilities"), since a traced program gets none.
  std::function<void(const std::string& program, const std::string& privilege)> unprivileged;
};

// Runs program (its first word looked up in PATH) and follows it and every
// process and thread it starts until they have all ended or `seconds` have
// passed (0: no limit). Interrupt, terminate and hang-up signals sent to
// this process are passed on to the traced ones; if this process is killed,
// they are killed too. Needs no privilege: it traces its own child. 32-bit
// programs are followed by their own system call numbers.
PLATFORM_API TraceOutcome TraceFileOpens(const std::vector<std::string>& program, double seconds,
                                         const TraceListener& listener);

PLATFORM_API FileClockStamp FileClockNow();
// The first moment of the clock's next tick, waited for: a file changed
// before the call is stamped before it, one changed after it not.
PLATFORM_API FileClockStamp FileClockNextTick();

// True when path names a regular file whose contents and status nothing
// changed at or after since: not created, written, truncated, renamed onto
// or deleted since then.
PLATFORM_API bool UnchangedSince(const std::string& path, const FileClockStamp& since);

}  // namespace platform
