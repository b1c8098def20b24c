#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>

#include "platform/signal_stack.h"

namespace platform {
namespace {

// Room for the crash handler's frames, sanitizer builds included, and for
// the largest signal frame the processor's register state needs.
constexpr std::size_t kMinimumStackSize = 128 * 1024;

std::size_t StackSize() {
  const long minimum = sysconf(_SC_MINSIGSTKSZ);
  const std::size_t needed = minimum > 0 ? 4 * static_cast<std::size_t>(minimum) : 0;
  return std::max(kMinimumStackSize, needed);
}

}  // namespace

SignalStack::SignalStack() {
  const std::size_t size = StackSize();
  stack_t current{};
  // A stack of the thread's own that is big enough stays; a smaller one
  // (the sanitizers give every thread a few pages) gives way while we live.
  if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) == 0 &&
      current.ss_size >= size) {
    active_ = true;
    return;
  }
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  void* mapping = mmap(nullptr, size + page, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (mapping == MAP_FAILED) return;
  mapping_ = mapping;
  mappingSize_ = size + page;
  // Stacks grow down: an overflow of the handler's own stack faults here.
  mprotect(mapping_, page, PROT_NONE);
  stack_t alternate{};
  alternate.ss_sp = static_cast<char*>(mapping_) + page;
  alternate.ss_size = size;
  installed_ = sigaltstack(&alternate, &previous_) == 0;
  active_ = installed_;
}

SignalStack::~SignalStack() {
  if (installed_) {
    stack_t previous = previous_;
    previous.ss_flags &= SS_DISABLE;
    sigaltstack(&previous, nullptr);
  }
  if (mapping_ != nullptr) munmap(mapping_, mappingSize_);
}

}  // namespace platform
