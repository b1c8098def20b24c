#include <windows.h>

#include "platform/file_open_trace.h"

namespace platform {

TraceOutcome TraceFileOpens(const std::vector<std::string>&, double,
                            const std::function<void(const std::string&)>&) {
  TraceOutcome outcome;
  outcome.error = ERROR_NOT_SUPPORTED;
  return outcome;
}

}  // namespace platform
