// Stands where Windows Error Reporting stands, which Wine only stubs: it
// starts the installed launcher with "--crash" under its debugger, and when
// the launcher faults, finds the crash settings record in its memory and
// calls the crash handler module's callback on the crashed process, as the
// system's error-reporting host would.
//
//   crash_probe.exe DIR     (DIR holds Pellicor.exe and vantilcrashhandler.dll)
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "modules/crashhandler/runtime_exception_information_win.h"

namespace {

constexpr char kProductName[] = "VANTIL_PRODUCT_NAME";
constexpr std::uint32_t kRecordSize = 64;

struct Crash {
  HANDLE process = nullptr;
  HANDLE thread = nullptr;
  std::uintptr_t imageBase = 0;
  EXCEPTION_RECORD record{};
};

bool Read(HANDLE process, std::uintptr_t address, void* out, std::size_t size) {
  SIZE_T read = 0;
  return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), out, size, &read) &&
         read == size;
}

// The record lies in the writable data of the launcher's image: 64 first,
// then at offset 16 the address of the product name, at 24 its length.
std::optional<std::uintptr_t> FindRecord(HANDLE process, std::uintptr_t base) {
  IMAGE_DOS_HEADER dos{};
  IMAGE_NT_HEADERS64 nt{};
  if (!Read(process, base, &dos, sizeof dos) ||
      !Read(process, base + dos.e_lfanew, &nt, sizeof nt)) {
    return std::nullopt;
  }
  const std::uintptr_t sections = base + dos.e_lfanew +
                                  offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                                  nt.FileHeader.SizeOfOptionalHeader;
  for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
    IMAGE_SECTION_HEADER section{};
    if (!Read(process, sections + i * sizeof section, &section, sizeof section)) continue;
    if ((section.Characteristics & IMAGE_SCN_MEM_WRITE) == 0) continue;
    std::vector<unsigned char> data(section.Misc.VirtualSize);
    const std::uintptr_t start = base + section.VirtualAddress;
    if (data.empty() || !Read(process, start, data.data(), data.size())) continue;
    for (std::size_t at = 0; at + kRecordSize <= data.size(); at += 8) {
      std::uint32_t size = 0;
      std::uint64_t name = 0;
      std::uint64_t length = 0;
      std::memcpy(&size, &data[at], 4);
      std::memcpy(&name, &data[at + 16], 8);
      std::memcpy(&length, &data[at + 24], 8);
      if (size != kRecordSize || length != sizeof kProductName - 1) continue;
      char text[sizeof kProductName] = {};
      if (Read(process, name, text, length) && std::strcmp(text, kProductName) == 0) {
        return start + at;
      }
    }
  }
  return std::nullopt;
}

// Runs the launcher until its first fault that is not the loader's breakpoint.
std::optional<Crash> RunUntilCrash(const std::wstring& dir, PROCESS_INFORMATION& started) {
  std::wstring commandLine = L"\"" + dir + L"\\Pellicor.exe\" --crash";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                      nullptr, dir.c_str(), &startup, &started)) {
    std::printf("cannot start the launcher: error %lu\n", GetLastError());
    return std::nullopt;
  }
  Crash crash;
  crash.process = started.hProcess;
  for (;;) {
    DEBUG_EVENT event{};
    if (!WaitForDebugEvent(&event, 60000)) return std::nullopt;
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        crash.imageBase = reinterpret_cast<std::uintptr_t>(event.u.CreateProcessInfo.lpBaseOfImage);
        if (event.u.CreateProcessInfo.hFile != nullptr)
          CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile != nullptr) CloseHandle(event.u.LoadDll.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT: {
        const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
        if (record.ExceptionCode == EXCEPTION_BREAKPOINT) break;
        if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION) {
          crash.record = record;
          crash.thread = OpenThread(THREAD_ALL_ACCESS, FALSE, event.dwThreadId);
          return crash;  // the launcher stays stopped at its fault
        }
        status = DBG_EXCEPTION_NOT_HANDLED;
        break;
      }
      case EXIT_PROCESS_DEBUG_EVENT:
        std::printf("the launcher ended without a fault: exit code %lu\n",
                    event.u.ExitProcess.dwExitCode);
        return std::nullopt;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
}

int CallHandler(const std::wstring& dir, const Crash& crash) {
  const std::optional<std::uintptr_t> record = FindRecord(crash.process, crash.imageBase);
  if (!record) {
    std::printf("no crash settings record in the launcher\n");
    return 1;
  }
  std::printf("product %s\n", kProductName);
  const HMODULE handler = LoadLibraryW((dir + L"\\vantilcrashhandler.dll").c_str());
  const auto callback =
      handler == nullptr
          ? nullptr
          : reinterpret_cast<OutOfProcessExceptionEventCallbackFunction>(reinterpret_cast<void*>(
                GetProcAddress(handler, "OutOfProcessExceptionEventCallback")));
  if (callback == nullptr) {
    std::printf("no OutOfProcessExceptionEventCallback in vantilcrashhandler.dll\n");
    return 1;
  }
  RuntimeExceptionInformation information{};
  information.dwSize = sizeof information;
  information.hProcess = crash.process;
  information.hThread = crash.thread;
  information.exceptionRecord = crash.record;
  information.context.ContextFlags = CONTEXT_FULL;
  if (crash.thread != nullptr) GetThreadContext(crash.thread, &information.context);
  BOOL claimed = TRUE;
  DWORD signatures = 99;
  std::fflush(stdout);
  const HRESULT result = callback(reinterpret_cast<PVOID>(*record), &information, &claimed, nullptr,
                                  nullptr, &signatures);
  std::printf("callback result 0x%08lX, claimed %d, signatures %lu\n",
              static_cast<unsigned long>(result), claimed, signatures);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::printf("usage: crash_probe.exe DIR\n");
    return 2;
  }
  const std::wstring dir = argv[1];
  PROCESS_INFORMATION started{};
  const std::optional<Crash> crash = RunUntilCrash(dir, started);
  int status = 1;
  if (crash) status = CallHandler(dir, *crash);
  if (started.hProcess != nullptr) {
    TerminateProcess(started.hProcess, 1);
    DebugActiveProcessStop(started.dwProcessId);
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
  }
  if (crash && crash->thread != nullptr) CloseHandle(crash->thread);
  std::fflush(stdout);
  return status;
}
