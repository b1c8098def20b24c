#pragma once

// POSIX only: the stack a thread's signal handlers run on when its own stack
// is exhausted or its stack pointer is garbage.
#include <signal.h>

#include <cstddef>

#include "platform/export.h"

namespace platform {

// An alternate signal stack for the calling thread while this lives, with a
// guard page below it; a thread that already has one as big keeps it.
// Destroyed on the thread that made it, which then gets its previous stack
// back.
class PLATFORM_API SignalStack {
 public:
  SignalStack();
  ~SignalStack();
  SignalStack(const SignalStack&) = delete;
  SignalStack& operator=(const SignalStack&) = delete;

  // Whether the thread has an alternate stack now, ours or its own.
  bool Active() const { return active_; }

 private:
  void* mapping_ = nullptr;
  std::size_t mappingSize_ = 0;
  stack_t previous_{};
  bool installed_ = false;
  bool active_ = false;
};

}  // namespace platform
