#pragma once

#include <cstdint>

#include "modules/crashhandler/crash_report.h"
#include "modules/crashhandler/process_memory.h"

namespace crashhandler {

// Reads the crashed process's settings at `context`, writes the report to
// standard error and into the log directory it names, or else into the
// user's crash folder, then the dialog.
void HandleCrash(const ProcessMemory& memory, std::uint64_t context, const CrashFacts& facts);

}  // namespace crashhandler
