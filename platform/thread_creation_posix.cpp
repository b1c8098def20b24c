// Linked into the executable, which exports pthread_create: every library
// of the process that starts a thread calls this one first (the executable
// comes first in the symbol lookup), and each thread gets an alternate
// signal stack before it runs any of its own code, so that a stack overflow
// on any thread reaches the crash handler.
#include <dlfcn.h>
#include <pthread.h>

#include <cerrno>
#include <memory>
#include <new>

#include "platform/signal_stack.h"

namespace {

using CreateFunction = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

CreateFunction RealCreate() {
  static const auto real = reinterpret_cast<CreateFunction>(dlsym(RTLD_NEXT, "pthread_create"));
  return real;
}

struct Start {
  void* (*routine)(void*);
  void* argument;
};

void* StartWithSignalStack(void* start) {
  const std::unique_ptr<Start> owned(static_cast<Start*>(start));
  // Destroyed when the routine returns, and also on pthread_exit and on
  // cancellation, which unwind this frame.
  const platform::SignalStack stack;
  return owned->routine(owned->argument);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int pthread_create(
    pthread_t* thread, const pthread_attr_t* attributes, void* (*routine)(void*), void* argument) {
  const CreateFunction real = RealCreate();
  if (real == nullptr) return EAGAIN;
  std::unique_ptr<Start> start;
  try {
    start = std::make_unique<Start>(Start{routine, argument});
  } catch (const std::bad_alloc&) {
    return EAGAIN;
  }
  const int result = real(thread, attributes, StartWithSignalStack, start.get());
  if (result == 0) start.release();
  return result;
}
