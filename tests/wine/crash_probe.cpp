// Plays Windows Error Reporting for the Wine suite, where the registration
// calls are stubs: it starts the launcher under itself as a debugger, notes
// the module and context the launcher registers, and when the launcher dies
// of an unhandled exception, loads that module and calls its event callback
// against the crashed process, as Windows Error Reporting would.
//
//   crash_probe.exe LAUNCHER [ARGUMENT...]
//
// Exit code: 0 the callback ran, 1 nothing was registered, 2 the launcher
// did not crash, 3 the probe itself failed.
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "crashhandler/runtime_exception_information_win.h"

namespace {

const wchar_t kCrashKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\RuntimeExceptionHelperModules";

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                      nullptr, nullptr);
  return result;
}

void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::fputs("probe: ", stdout);
  std::vprintf(format, arguments);
  std::fputc('\n', stdout);
  std::fflush(stdout);
  va_end(arguments);
}

std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  return L"\"" + argument + L"\"";
}

std::wstring ReadWideString(HANDLE process, ULONG_PTR address) {
  std::wstring text;
  for (wchar_t unit = 0; text.size() < 32768; text += unit, address += sizeof unit) {
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), &unit, sizeof unit,
                           &read) ||
        read != sizeof unit || unit == 0)
      break;
  }
  return text;
}

// An int3 on the registration call. System DLLs sit at the same address in
// every process; the bytes are compared to be sure.
class RegistrationBreakpoint {
 public:
  RegistrationBreakpoint()
      : target_(reinterpret_cast<std::uint8_t*>(GetProcAddress(
            GetModuleHandleW(L"kernel32.dll"), "WerRegisterRuntimeExceptionModule"))) {}

  bool Arm(HANDLE process) {
    if (armed_ || target_ == nullptr) return armed_;
    std::uint8_t theirs[16];
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, target_, theirs, sizeof theirs, &read) ||
        read != sizeof theirs || std::memcmp(theirs, target_, sizeof theirs) != 0)
      return false;
    saved_ = theirs[0];
    armed_ = Write(process, 0xCC);
    return armed_;
  }

  bool IsAt(const void* address) const { return armed_ && address == target_; }

  // Puts the byte back and the thread at the call's first instruction again.
  void Disarm(HANDLE process, CONTEXT& context) {
    Write(process, saved_);
    context.Rip = reinterpret_cast<DWORD64>(target_);
    armed_ = false;
  }

 private:
  bool Write(HANDLE process, std::uint8_t byte) {
    DWORD protection = 0;
    if (!VirtualProtectEx(process, target_, 1, PAGE_EXECUTE_READWRITE, &protection)) return false;
    SIZE_T written = 0;
    const bool ok = WriteProcessMemory(process, target_, &byte, 1, &written) && written == 1;
    VirtualProtectEx(process, target_, 1, protection, &protection);
    FlushInstructionCache(process, target_, 1);
    return ok;
  }

  std::uint8_t* target_;
  std::uint8_t saved_ = 0;
  bool armed_ = false;
};

bool ValuePresent(const std::wstring& module) {
  DWORD value = 0;
  DWORD size = sizeof value;
  return RegGetValueW(HKEY_CURRENT_USER, kCrashKey, module.c_str(), RRF_RT_REG_DWORD, nullptr,
                      &value, &size) == ERROR_SUCCESS;
}

HRESULT RunCallback(const std::wstring& module, ULONG_PTR context, HANDLE process, HANDLE thread,
                    const EXCEPTION_RECORD& record) {
  const HMODULE handler = LoadLibraryExW(module.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (handler == nullptr) {
    Say("cannot load %s (error %lu)", Utf8(module).c_str(), GetLastError());
    return E_FAIL;
  }
  const auto callback = reinterpret_cast<OutOfProcessExceptionEventCallbackFunction>(
      reinterpret_cast<void*>(GetProcAddress(handler, "OutOfProcessExceptionEventCallback")));
  if (callback == nullptr) {
    Say("%s has no OutOfProcessExceptionEventCallback", Utf8(module).c_str());
    return E_FAIL;
  }
  static RuntimeExceptionInformation information;
  information.dwSize = sizeof information;
  information.hProcess = process;
  information.hThread = thread;
  information.exceptionRecord = record;
  information.context.ContextFlags = CONTEXT_ALL;
  GetThreadContext(thread, &information.context);
  information.pwszReportId = L"";
  BOOL claimed = TRUE;
  wchar_t eventName[64] = {};
  DWORD eventNameSize = 64;
  DWORD signatureCount = 99;
  LARGE_INTEGER frequency{};
  LARGE_INTEGER start{};
  LARGE_INTEGER end{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const HRESULT result = callback(reinterpret_cast<PVOID>(context), &information, &claimed,
                                  eventName, &eventNameSize, &signatureCount);
  QueryPerformanceCounter(&end);
  Say("callback result 0x%08lX, ownership claimed %d, signatures %lu, in %lld ms",
      static_cast<unsigned long>(result), claimed ? 1 : 0, signatureCount,
      static_cast<long long>((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart));
  return result;
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
  if (count < 2) {
    std::fputs("usage: crash_probe.exe LAUNCHER [ARGUMENT...]\n", stderr);
    return 3;
  }
  std::wstring commandLine = Quoted(arguments[1]);
  for (int i = 2; i < count; ++i) commandLine += L" " + Quoted(arguments[i]);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, DEBUG_ONLY_THIS_PROCESS,
                      nullptr, nullptr, &startup, &child)) {
    Say("cannot start %s (error %lu)", Utf8(arguments[1]).c_str(), GetLastError());
    return 3;
  }

  RegistrationBreakpoint breakpoint;
  std::map<DWORD, HANDLE> threads;
  HANDLE process = child.hProcess;
  std::wstring module;
  ULONG_PTR context = 0;
  bool registered = false;
  bool crashed = false;
  DWORD exitCode = 0;
  for (bool running = true; running;) {
    DEBUG_EVENT event{};
    if (!WaitForDebugEvent(&event, INFINITE)) {
      Say("debugging failed (error %lu)", GetLastError());
      return 3;
    }
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        threads[event.dwThreadId] = event.u.CreateProcessInfo.hThread;
        if (event.u.CreateProcessInfo.hFile != nullptr)
          CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case CREATE_THREAD_DEBUG_EVENT:
        threads[event.dwThreadId] = event.u.CreateThread.hThread;
        break;
      case EXIT_THREAD_DEBUG_EVENT:
        threads.erase(event.dwThreadId);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile != nullptr) CloseHandle(event.u.LoadDll.hFile);
        if (!registered) breakpoint.Arm(process);
        break;
      case EXCEPTION_DEBUG_EVENT: {
        const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
        HANDLE thread = threads[event.dwThreadId];
        if (record.ExceptionCode == EXCEPTION_BREAKPOINT) {
          if (breakpoint.IsAt(record.ExceptionAddress)) {
            CONTEXT registers{};
            registers.ContextFlags = CONTEXT_FULL;
            GetThreadContext(thread, &registers);
            module = ReadWideString(process, registers.Rcx);
            context = registers.Rdx;
            breakpoint.Disarm(process, registers);
            SetThreadContext(thread, &registers);
            registered = true;
            Say("registered %s with context 0x%llx", Utf8(module).c_str(),
                static_cast<unsigned long long>(context));
          } else if (!registered) {
            breakpoint.Arm(process);  // the loader's first breakpoint
          }
        } else if (event.u.Exception.dwFirstChance) {
          status = DBG_EXCEPTION_NOT_HANDLED;
        } else {
          crashed = true;
          Say("unhandled exception 0x%08lX at 0x%llx",
              static_cast<unsigned long>(record.ExceptionCode),
              static_cast<unsigned long long>(
                  reinterpret_cast<ULONG_PTR>(record.ExceptionAddress)));
          if (!registered) {
            Say("the launcher registered no crash handler");
          } else {
            Say("registry value %s", ValuePresent(module) ? "present" : "missing");
            RunCallback(module, context, process, thread, record);
          }
          TerminateProcess(process, record.ExceptionCode);
        }
        break;
      }
      case EXIT_PROCESS_DEBUG_EVENT:
        exitCode = event.u.ExitProcess.dwExitCode;
        running = false;
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
  if (!crashed) {
    Say("the launcher exited with %ld without crashing", static_cast<long>(exitCode));
    return 2;
  }
  return registered ? 0 : 1;
}
