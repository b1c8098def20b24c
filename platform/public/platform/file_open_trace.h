#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/export.h"

namespace platform {

struct TraceOutcome {
  bool started = false;   // false: the program could not be run and traced (see error)
  int error = 0;          // the system's error number when not started
  bool timedOut = false;  // the time ran out; the program was left running untraced
  int exitStatus = 0;     // the program's, when it ended (128 + signal when killed)
};

// Runs program (its first word looked up in PATH) and tells opened, in
// order, the absolute path of every regular file that it or any process or
// thread it starts opens for reading, until it ends or `seconds` have
// passed (0: no limit). Needs no privilege: it traces its own child.
PLATFORM_API TraceOutcome
TraceFileOpens(const std::vector<std::string>& program, double seconds,
               const std::function<void(const std::string& path)>& opened);

}  // namespace platform
