#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "process_snapshot.h"
#include "stack_walk_win.h"

namespace crashhandler {

// The stacks of the crashed process's other threads, by thread id, at most
// `limit`; each thread is suspended from before the first is read until all
// are. What cannot be read goes to `problems`.
std::vector<ThreadStack> OtherThreadStacks(HANDLE process, DWORD crashedThread, StackWalker& walker,
                                           const SnapshotLimits& limits,
                                           std::vector<std::string>& problems);

// The thread's description, as set by SetThreadDescription; empty without.
std::string ThreadName(HANDLE thread);

}  // namespace crashhandler
