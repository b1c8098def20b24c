#pragma once

#include <cstddef>

#include "platform/export.h"

namespace platform {

// Read-write memory straight from the system's pages, released when the
// object goes. Where the system has large pages for ordinary programs, the
// memory asks for them, so that filling it takes a handful of page faults
// instead of one per 4 KiB. Throws std::bad_alloc when it cannot be had.
class PLATFORM_API PageMemory {
 public:
  explicit PageMemory(std::size_t size);
  ~PageMemory();
  PageMemory(const PageMemory&) = delete;
  PageMemory& operator=(const PageMemory&) = delete;

  char* Data() const { return data_; }

 private:
  void* mapping_ = nullptr;
  std::size_t mappingSize_ = 0;
  char* data_ = nullptr;
};

}  // namespace platform
