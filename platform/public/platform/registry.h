#pragma once

#include <cstdint>

#include "platform/export.h"
#include "platform/types.h"

namespace platform {

struct RegistryKey;
using RegKey = RegistryKey*;  // HKEY

// The predefined root; never closed.
PLATFORM_API RegKey HkeyCurrentUser();

inline constexpr std::uint32_t kRegOptionVolatile = 1;  // REG_OPTION_VOLATILE
inline constexpr std::uint32_t kKeyWrite = 0x20006;     // KEY_WRITE
inline constexpr std::uint32_t kRegDword = 4;           // REG_DWORD

PLATFORM_API Status RegCreateKeyExW(RegKey root, const char16_t* subKey, std::uint32_t reserved,
                                    char16_t* keyClass, std::uint32_t options, std::uint32_t access,
                                    void* security, RegKey* result, std::uint32_t* disposition);
PLATFORM_API Status RegSetValueExW(RegKey key, const char16_t* valueName, std::uint32_t reserved,
                                   std::uint32_t type, const std::uint8_t* data,
                                   std::uint32_t size);
PLATFORM_API Status RegDeleteValueW(RegKey key, const char16_t* valueName);
PLATFORM_API Status RegCloseKey(RegKey key);

}  // namespace platform
