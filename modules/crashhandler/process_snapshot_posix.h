#pragma once

#include <sys/types.h>

#include <cstdint>

#include "process_snapshot.h"

namespace crashhandler {

// What the crashed process looked like: every thread's stack, unwound with
// the modules' unwind tables, the crashed thread first and from the machine
// context its signal handler got (at `machineContext` in that process);
// its registers there; its modules. Other threads are read as the calling
// thread holds them stopped under ptrace (`threadsHeld`), or else are
// stopped while they are read. Whatever cannot be read is said in the
// snapshot.
ProcessSnapshot TakeProcessSnapshot(pid_t process, pid_t crashedThread,
                                    std::uint64_t machineContext, const SnapshotLimits& limits,
                                    bool threadsHeld = false);

}  // namespace crashhandler
