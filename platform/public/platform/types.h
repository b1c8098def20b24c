#pragma once

#include <cstdint>

// Windows handle and status types, kept free of <windows.h> so that every
// caller compiles the same way on both platforms.
namespace platform {

using ModuleHandle = void*;    // HMODULE / HINSTANCE
using WindowHandle = void*;    // HWND
using HeapHandle = void*;      // HANDLE of a heap
using HResult = std::int32_t;  // HRESULT
using Status = std::int32_t;   // LSTATUS
using GeoId = std::int32_t;    // GEOID

inline constexpr HResult kSOk = 0;
inline constexpr HResult kSFalse = 1;
inline constexpr HResult kEFail = static_cast<HResult>(0x80004005u);
inline constexpr bool Succeeded(HResult result) { return result >= 0; }

inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kErrorNoUnicodeTranslation = 1113;

}  // namespace platform
