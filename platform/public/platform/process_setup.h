#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/export.h"
#include "platform/types.h"

namespace platform {

inline constexpr std::uint32_t kSemFailCriticalErrors = 0x0001;  // SEM_FAILCRITICALERRORS
inline constexpr int kHeapCompatibilityInformation = 0;          // HEAP_INFORMATION_CLASS
inline constexpr int kSwShowDefault = 10;                        // SW_SHOWDEFAULT

// Returns the previous mode.
PLATFORM_API std::uint32_t SetErrorMode(std::uint32_t mode);
PLATFORM_API HeapHandle GetProcessHeap();
PLATFORM_API bool HeapSetInformation(HeapHandle heap, int informationClass, void* information,
                                     std::size_t length);

}  // namespace platform
