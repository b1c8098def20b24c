#pragma once

#include <filesystem>

#include "crashhandler/runtime_exception_information_win.h"

namespace crashhandler {

// A minidump of the crashed process into `file`: its threads with their
// stacks, its modules and the exception, nothing of the heap or the
// environment. False, and no file, when it cannot be written.
bool WriteMinidump(const RuntimeExceptionInformation& information,
                   const std::filesystem::path& file);

}  // namespace crashhandler
