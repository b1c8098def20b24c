#include "process_memory_posix.h"

#include <sys/uio.h>

#include <cerrno>

namespace crashhandler {

bool PosixProcessMemory::Read(std::uint64_t address, void* buffer, std::size_t size) const {
  if (size == 0) return true;
  if (address == 0 || buffer == nullptr) return false;
  iovec local{buffer, size};
  iovec remote{reinterpret_cast<void*>(static_cast<std::uintptr_t>(address)), size};
  ssize_t read = 0;
  do {
    read = process_vm_readv(process_, &local, 1, &remote, 1, 0);
  } while (read < 0 && errno == EINTR);
  // A short read means part of the range is unmapped.
  return read >= 0 && static_cast<std::size_t>(read) == size;
}

}  // namespace crashhandler
