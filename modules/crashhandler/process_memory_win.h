#pragma once

#include "process_memory.h"

namespace crashhandler {

// Through ReadProcessMemory on the handle that Windows Error Reporting gives.
class WindowsProcessMemory : public ProcessMemory {
 public:
  explicit WindowsProcessMemory(void* process) : process_(process) {}
  bool Read(std::uint64_t address, void* buffer, std::size_t size) const override;

 private:
  void* process_;  // HANDLE
};

}  // namespace crashhandler
