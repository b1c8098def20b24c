#pragma once

#include <cstdint>

#include "platform/export.h"

namespace platform {

inline constexpr std::uint32_t kCpAcp = 0;       // CP_ACP
inline constexpr std::uint32_t kCpUtf8 = 65001;  // CP_UTF8
inline constexpr std::uint32_t kCp1252 = 1252;
inline constexpr std::uint32_t kMbErrInvalidChars = 0x08;  // MB_ERR_INVALID_CHARS
inline constexpr std::uint32_t kWcErrInvalidChars = 0x80;  // WC_ERR_INVALID_CHARS

// Windows semantics: a length of -1 includes the NUL; a zero output size
// asks for the count; 0 means failure and GetLastError tells why.
PLATFORM_API int MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags,
                                     const char* source, int sourceLength, char16_t* destination,
                                     int destinationLength);
PLATFORM_API int WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags,
                                     const char16_t* source, int sourceLength, char* destination,
                                     int destinationLength, const char* defaultChar,
                                     bool* usedDefaultChar);
PLATFORM_API std::uint32_t GetLastError();
PLATFORM_API bool IsDBCSLeadByteEx(std::uint32_t codePage, std::uint8_t byte);

}  // namespace platform
