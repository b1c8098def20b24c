// The strings' storage comes from the system allocator, told the size on
// both ways. Size classes of our own measured no faster at start-up or in
// the localizer than the system's per-thread caches (see docs/architecture.md).
#include <cstddef>
#include <new>

#include "vantilcore/allocator.h"

namespace vantilcore::allocator {
namespace {

// A zero-byte request still gets a block of its own.
std::size_t Requested(std::size_t bytes) { return bytes == 0 ? 1 : bytes; }

}  // namespace

void* SmallBlockAllocator::Allocate(std::size_t bytes) { return ::operator new(Requested(bytes)); }

void SmallBlockAllocator::Dispose(void* block, std::size_t bytes) {
  ::operator delete(block, Requested(bytes));
}

}  // namespace vantilcore::allocator
