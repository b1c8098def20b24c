#include <windows.h>

#include "platform/file_open_trace.h"

namespace platform {

TraceOutcome TraceFileOpens(const std::vector<std::string>&, double, const TraceListener&) {
  TraceOutcome outcome;
  outcome.failure = TraceFailure::kCannotTrace;
  outcome.error = ERROR_NOT_SUPPORTED;
  return outcome;
}

FileClockStamp FileClockNow() { return {}; }

FileClockStamp FileClockNextTick() { return {}; }

bool UnchangedSince(const std::string&, const FileClockStamp&) { return false; }

}  // namespace platform
