#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "crash_dialog.h"
#include "crash_report.h"
#include "process_memory.h"

namespace crashhandler {

// Writes a dump of the crashed process into the file; true when it did.
using DumpWriter = std::function<bool(const std::filesystem::path& file)>;

// Shows the dialog for the report, or says that it is suppressed.
using DialogShower = std::function<void(const CrashSettings& settings,
                                        const std::optional<std::filesystem::path>& reportFile)>;

// Reads the crashed process's settings at `context`, writes the dump, if
// there is a writer, and the report, which names the dump, into the log
// directory the settings name, or else into the user's crash folder; the
// report also goes to standard error. Then the dialog.
void HandleCrash(const ProcessMemory& memory, std::uint64_t context, CrashFacts facts,
                 const DumpWriter& writeDump = nullptr,
                 const DialogShower& showDialog = ShowCrashDialog);

}  // namespace crashhandler
