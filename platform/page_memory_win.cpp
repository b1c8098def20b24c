#include <windows.h>

#include <new>

#include "platform/page_memory.h"

namespace platform {

// Large pages on Windows need a privilege ordinary users lack: plain pages.
PageMemory::PageMemory(std::size_t size) : mappingSize_(size) {
  mapping_ = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (mapping_ == nullptr) throw std::bad_alloc();
  data_ = static_cast<char*>(mapping_);
}

PageMemory::~PageMemory() { VirtualFree(mapping_, 0, MEM_RELEASE); }

}  // namespace platform
