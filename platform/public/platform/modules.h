#pragma once

#include <cstdint>

#include "platform/export.h"
#include "platform/types.h"

namespace platform {

using ProcAddress = void (*)();

// Null name: the executable itself.
PLATFORM_API ModuleHandle GetModuleHandleW(const char16_t* name);
// Units written without the NUL; a path longer than the buffer is cut to
// size - 1 units. Null module: the executable.
PLATFORM_API std::uint32_t GetModuleFileNameW(ModuleHandle module, char16_t* buffer,
                                              std::uint32_t size);
// Loads by the path given; flags as for Windows (0 here).
PLATFORM_API ModuleHandle LoadLibraryExW(const char16_t* path, void* file, std::uint32_t flags);
PLATFORM_API ProcAddress GetProcAddress(ModuleHandle module, const char* name);
PLATFORM_API bool FreeLibrary(ModuleHandle module);

}  // namespace platform
