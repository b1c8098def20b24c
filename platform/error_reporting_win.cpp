#include <windows.h>

#include <csignal>

#include "crashhandler/abort_exception_win.h"
#include "platform/error_reporting.h"

// mingw-w64's <werapi.h> does not compile on its own (HREPORT and the
// buffer sizes are missing), so the two kernel32 exports are declared here.
extern "C" {
HRESULT WINAPI WerRegisterRuntimeExceptionModule(PCWSTR callbackDll, PVOID context);
HRESULT WINAPI WerUnregisterRuntimeExceptionModule(PCWSTR callbackDll, PVOID context);
}

namespace platform {
namespace {

// abort() would end the process quietly with exit code 3: this hands it to
// the registered modules as an unhandled exception, from the aborting thread.
__attribute__((noinline)) void RaiseAbort(int) {
  const ULONG_PTR caller = reinterpret_cast<ULONG_PTR>(__builtin_return_address(0));
  RaiseException(kAbortExceptionCode, EXCEPTION_NONCONTINUABLE, kAbortExceptionParameters, &caller);
}

}  // namespace

HResult WerRegisterRuntimeExceptionModule(const char16_t* path, void* context) {
  std::signal(SIGABRT, RaiseAbort);
  return ::WerRegisterRuntimeExceptionModule(reinterpret_cast<PCWSTR>(path), context);
}

HResult WerUnregisterRuntimeExceptionModule(const char16_t* path, void* context) {
  const HResult result =
      ::WerUnregisterRuntimeExceptionModule(reinterpret_cast<PCWSTR>(path), context);
  // Put back only what was set here.
  const auto previous = std::signal(SIGABRT, SIG_DFL);
  if (previous != RaiseAbort && previous != SIG_ERR) std::signal(SIGABRT, previous);
  return result;
}

}  // namespace platform
