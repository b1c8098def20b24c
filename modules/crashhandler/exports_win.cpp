// The runtime exception module entry points, called by Windows Error
// Reporting in its own process when the launcher crashes.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <span>
#include <string>
#include <type_traits>

#include "application_identity_win.h"
#include "crash_handler.h"
#include "crash_signature.h"
#include "crashhandler/runtime_exception_information_win.h"
#include "exception_description_win.h"
#include "minidump_win.h"
#include "module_list_win.h"
#include "process_memory_win.h"
#include "process_snapshot.h"
#include "stack_walk_win.h"
#include "thread_list_win.h"

#define CRASHHANDLER_EXPORT extern "C" __declspec(dllexport)

namespace {

// The frames of the fault itself: for abort, from the C runtime's raise()
// outward, without the handler that turned the signal into an exception,
// whose caller is marked.
std::span<const crashhandler::StackFrame> FaultFrames(crashhandler::ThreadStack& stack,
                                                      const EXCEPTION_RECORD& record) {
  std::span<crashhandler::StackFrame> frames(stack.frames);
  if (const auto caller = crashhandler::AbortCaller(record)) {
    for (std::size_t i = 0; i < frames.size(); ++i) {
      if (frames[i].address != *caller) continue;
      frames[i].signalFrame = true;
      return frames.subspan(i);
    }
  }
  return frames;
}

// Everything from the callback's own copies of the exception and the
// thread's context, and from what the system reads of the crashed process;
// nothing the crashed process could have prepared is taken as a pointer.
void Collect(const RuntimeExceptionInformation& information,
             const crashhandler::ProcessMemory& memory, crashhandler::CrashFacts& facts) {
  const crashhandler::ModuleList modules(information.hProcess, memory);
  const EXCEPTION_RECORD& record = information.exceptionRecord;
  const crashhandler::SnapshotLimits limits;
  crashhandler::StackWalker walker(information.hProcess, modules, memory);
  crashhandler::ProcessSnapshot snapshot;
  snapshot.threads.push_back(walker.Walk(information.hThread, information.context, limits));
  crashhandler::ThreadStack& crashed = snapshot.threads.front();
  crashed.crashed = true;
  crashed.name = crashhandler::ThreadName(information.hThread);
  facts.signature = crashhandler::CrashSignature(FaultFrames(crashed, record));
  const std::int64_t crashedId = crashed.threadId;  // the vector grows below
  for (crashhandler::ThreadStack& other :
       crashhandler::OtherThreadStacks(information.hProcess, GetThreadId(information.hThread),
                                       walker, limits, snapshot.problems)) {
    snapshot.threads.push_back(std::move(other));
  }
  snapshot.registers = crashhandler::ContextRegisters(information.context);

  facts.description = crashhandler::DescribeException(record);
  facts.application = crashhandler::ApplicationIdentity(information.hProcess);
  facts.details =
      "Faulting module: " +
      crashhandler::ModuleAndOffset(modules, reinterpret_cast<ULONG_PTR>(record.ExceptionAddress)) +
      "\n";
  facts.details += "Crashed thread: " + std::to_string(crashedId) + "\n";
  facts.details += crashhandler::FormatProcessSnapshot(snapshot);
  facts.details += crashhandler::FormatModuleList(modules);
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
    facts.processId = GetProcessId(information->hProcess);
    facts.time = std::time(nullptr);
    Collect(*information, memory, facts);
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
