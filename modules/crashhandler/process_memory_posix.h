#pragma once

#include <sys/types.h>

#include "process_memory.h"

namespace crashhandler {

// Through process_vm_readv: the crashed process named us its tracer.
class PosixProcessMemory : public ProcessMemory {
 public:
  explicit PosixProcessMemory(pid_t process) : process_(process) {}
  bool Read(std::uint64_t address, void* buffer, std::size_t size) const override;

 private:
  pid_t process_;
};

}  // namespace crashhandler
