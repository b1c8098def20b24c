#include "minidump_win.h"

#include <windows.h>
// After <windows.h>, which they need.
#include <dbghelp.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/utf_common.h"

namespace crashhandler {
namespace {

struct FileCloser {
  void operator()(HANDLE file) const {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};
using FileHandle = std::unique_ptr<void, FileCloser>;

constexpr DWORD kMaxModules = 1024;

}  // namespace

bool WriteMinidump(const RuntimeExceptionInformation& information,
                   const std::filesystem::path& file) {
  FileHandle out(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (out.get() == INVALID_HANDLE_VALUE) return false;
  // The callback's copies, in this process.
  EXCEPTION_RECORD record = information.exceptionRecord;
  CONTEXT context = information.context;
  EXCEPTION_POINTERS pointers{&record, &context};
  MINIDUMP_EXCEPTION_INFORMATION exception{GetThreadId(information.hThread), &pointers, FALSE};
  // The normal dump holds threads, their stacks, modules and the exception;
  // no flag that adds data segments, heap or process data is given.
  const BOOL written = MiniDumpWriteDump(information.hProcess, GetProcessId(information.hProcess),
                                         out.get(), MiniDumpNormal, &exception, nullptr, nullptr);
  out.reset();
  if (written) return true;
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  return false;
}

std::string FaultingModule(void* process, std::uint64_t address) {
  std::vector<HMODULE> modules(kMaxModules);
  DWORD needed = 0;
  if (!EnumProcessModulesEx(process, modules.data(),
                            static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed,
                            LIST_MODULES_ALL)) {
    return "unknown";
  }
  modules.resize(std::min<std::size_t>(modules.size(), needed / sizeof(HMODULE)));
  for (HMODULE module : modules) {
    MODULEINFO info{};
    if (!GetModuleInformation(process, module, &info, sizeof info)) continue;
    const auto base = reinterpret_cast<std::uintptr_t>(info.lpBaseOfDll);
    if (address < base || address - base >= info.SizeOfImage) continue;
    wchar_t name[MAX_PATH] = {};
    const DWORD length = GetModuleBaseNameW(process, module, name, MAX_PATH);
    const std::u16string wide(reinterpret_cast<const char16_t*>(name), length);
    char offset[24];
    std::snprintf(offset, sizeof offset, "+0x%llx",
                  static_cast<unsigned long long>(address - base));
    return platform::Utf16ToUtf8(wide) + offset;
  }
  return "unknown";
}

}  // namespace crashhandler
