// The runtime exception module entry points, called by Windows Error
// Reporting in its own process when the launcher crashes.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <type_traits>

#include "crash_handler.h"
#include "crashhandler/runtime_exception_information_win.h"
#include "minidump_win.h"
#include "process_memory_win.h"

#define CRASHHANDLER_EXPORT extern "C" __declspec(dllexport)

namespace {

std::string Describe(const EXCEPTION_RECORD& record) {
  char text[64];
  std::snprintf(
      text, sizeof text, "exception 0x%08lX, address 0x%llx",
      static_cast<unsigned long>(record.ExceptionCode),
      static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(record.ExceptionAddress)));
  return text;
}

}  // namespace

CRASHHANDLER_EXPORT HRESULT WINAPI
OutOfProcessExceptionEventCallback(PVOID context, const RuntimeExceptionInformation* information,
                                   BOOL* ownershipClaimed, PWSTR, PDWORD, PDWORD signatureCount) {
  if (information == nullptr || ownershipClaimed == nullptr) return E_INVALIDARG;
  // Not claimed: Windows goes on with its own report after ours.
  *ownershipClaimed = FALSE;
  if (signatureCount != nullptr) *signatureCount = 0;
  try {
    const crashhandler::WindowsProcessMemory memory(information->hProcess);
    crashhandler::CrashFacts facts;
    facts.description = Describe(information->exceptionRecord);
    facts.processId = GetProcessId(information->hProcess);
    facts.time = std::time(nullptr);
    facts.details =
        "Faulting module: " +
        crashhandler::FaultingModule(
            information->hProcess,
            reinterpret_cast<ULONG_PTR>(information->exceptionRecord.ExceptionAddress)) +
        "\n";
    crashhandler::HandleCrash(memory, reinterpret_cast<ULONG_PTR>(context), facts,
                              [information](const std::filesystem::path& file) {
                                return crashhandler::WriteMinidump(*information, file);
                              });
  } catch (...) {
    return E_FAIL;
  }
  return S_OK;
}
static_assert(std::is_same_v<decltype(&OutOfProcessExceptionEventCallback),
                             OutOfProcessExceptionEventCallbackFunction>);

// Only called for a claimed crash, which this module never claims.
CRASHHANDLER_EXPORT HRESULT WINAPI OutOfProcessExceptionEventSignatureCallback(
    PVOID, const RuntimeExceptionInformation*, DWORD, PWSTR, PDWORD, PWSTR, PDWORD) {
  return E_FAIL;
}

CRASHHANDLER_EXPORT HRESULT WINAPI OutOfProcessExceptionEventDebuggerLaunchCallback(
    PVOID, const RuntimeExceptionInformation*, PBOOL isCustomDebugger, PWSTR, PDWORD,
    PBOOL isDebuggerAutolaunch) {
  if (isCustomDebugger != nullptr) *isCustomDebugger = FALSE;
  if (isDebuggerAutolaunch != nullptr) *isDebuggerAutolaunch = FALSE;
  return S_OK;
}
