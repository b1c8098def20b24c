#include "process_memory_win.h"

#include <windows.h>

namespace crashhandler {

bool WindowsProcessMemory::Read(std::uint64_t address, void* buffer, std::size_t size) const {
  if (size == 0) return true;
  if (address == 0 || buffer == nullptr) return false;
  SIZE_T read = 0;
  return ReadProcessMemory(process_, reinterpret_cast<LPCVOID>(static_cast<ULONG_PTR>(address)),
                           buffer, size, &read) != 0 &&
         read == size;
}

}  // namespace crashhandler
