#pragma once

#include <cstddef>
#include <cstdint>

namespace crashhandler {

// Reads another process's memory; whatever that process holds is untrusted.
class ProcessMemory {
 public:
  virtual ~ProcessMemory() = default;
  // True only when all `size` bytes at `address` were read.
  virtual bool Read(std::uint64_t address, void* buffer, std::size_t size) const = 0;
};

}  // namespace crashhandler
