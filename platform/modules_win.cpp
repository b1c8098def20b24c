#include <windows.h>

#include "platform/modules.h"

namespace platform {

ModuleHandle GetModuleHandleW(const char16_t* name) {
  return ::GetModuleHandleW(reinterpret_cast<LPCWSTR>(name));
}

std::uint32_t GetModuleFileNameW(ModuleHandle module, char16_t* buffer, std::uint32_t size) {
  return ::GetModuleFileNameW(static_cast<HMODULE>(module), reinterpret_cast<LPWSTR>(buffer), size);
}

ModuleHandle LoadLibraryExW(const char16_t* path, void* file, std::uint32_t flags) {
  return ::LoadLibraryExW(reinterpret_cast<LPCWSTR>(path), static_cast<HANDLE>(file), flags);
}

ProcAddress GetProcAddress(ModuleHandle module, const char* name) {
  return reinterpret_cast<ProcAddress>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

bool FreeLibrary(ModuleHandle module) {
  return ::FreeLibrary(static_cast<HMODULE>(module)) != FALSE;
}

}  // namespace platform
