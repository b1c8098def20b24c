#include <windows.h>

#include "platform/environment.h"

namespace platform {

std::uint32_t GetEnvironmentVariableW(const char16_t* name, char16_t* buffer, std::uint32_t size) {
  return ::GetEnvironmentVariableW(reinterpret_cast<LPCWSTR>(name),
                                   reinterpret_cast<LPWSTR>(buffer), size);
}

}  // namespace platform
