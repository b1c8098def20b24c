#include <sys/mman.h>

#include <cstdint>
#include <new>

#include "platform/page_memory.h"

namespace platform {
namespace {

// Transparent huge pages come only to an aligned stretch of this size.
constexpr std::size_t kLargePage = 2 * 1024 * 1024;

}  // namespace

PageMemory::PageMemory(std::size_t size) : mappingSize_(size + kLargePage) {
  mapping_ =
      mmap(nullptr, mappingSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping_ == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapping_);
  data_ = static_cast<char*>(mapping_) + ((kLargePage - start % kLargePage) % kLargePage);
  // Only advice: without huge pages the memory is ordinary pages. The first
  // large page stays in small ones: a file that fits in it (most of what a
  // start reads) then faults in only the 4 KiB pages it fills, where one
  // large page would have the system find and clear 2 MiB first.
  if (size > kLargePage) madvise(data_ + kLargePage, size - kLargePage, MADV_HUGEPAGE);
}

PageMemory::~PageMemory() { munmap(mapping_, mappingSize_); }

}  // namespace platform
