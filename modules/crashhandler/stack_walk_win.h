#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "module_list_win.h"
#include "process_memory.h"
#include "process_snapshot.h"

namespace crashhandler {

class PeImage;

// Threads' stacks from their contexts, walked with the debug help library's
// stack walker over the crashed process's memory. The function tables and
// names come from the modules' images in that process (pe_image.h), so no
// symbol file is looked for anywhere.
class StackWalker {
 public:
  StackWalker(HANDLE process, const ModuleList& modules, const ProcessMemory& memory);
  ~StackWalker();
  StackWalker(const StackWalker&) = delete;
  StackWalker& operator=(const StackWalker&) = delete;

  // The innermost and the outermost frames within the limits.
  ThreadStack Walk(HANDLE thread, const CONTEXT& context, const SnapshotLimits& limits);

  // For the walker's callbacks.
  const PeImage* ImageAt(std::uint64_t address, const LoadedModule*& module);

 private:
  bool HasFunctionEntry(std::uint64_t address);
  std::optional<std::uint64_t> ReturnAddressSlot(std::uint64_t stack);

  HANDLE process_;
  const ModuleList& modules_;
  const ProcessMemory& memory_;
  bool symbolsStarted_ = false;
  std::map<std::uint64_t, std::unique_ptr<PeImage>> images_;
};

// The crashed thread's integer registers at the fault.
std::vector<NamedRegister> ContextRegisters(const CONTEXT& context);

}  // namespace crashhandler
