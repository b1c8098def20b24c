#include <windows.h>

#include "platform/error_reporting.h"

// mingw-w64's <werapi.h> does not compile on its own (HREPORT and the
// buffer sizes are missing), so the two kernel32 exports are declared here.
extern "C" {
HRESULT WINAPI WerRegisterRuntimeExceptionModule(PCWSTR callbackDll, PVOID context);
HRESULT WINAPI WerUnregisterRuntimeExceptionModule(PCWSTR callbackDll, PVOID context);
}

namespace platform {

HResult WerRegisterRuntimeExceptionModule(const char16_t* path, void* context) {
  return ::WerRegisterRuntimeExceptionModule(reinterpret_cast<PCWSTR>(path), context);
}

HResult WerUnregisterRuntimeExceptionModule(const char16_t* path, void* context) {
  return ::WerUnregisterRuntimeExceptionModule(reinterpret_cast<PCWSTR>(path), context);
}

}  // namespace platform
