#include "minidump_win.h"

#include <windows.h>
// After <windows.h>, which they need.
#include <dbghelp.h>

#include <memory>
#include <system_error>

namespace crashhandler {
namespace {

struct FileCloser {
  void operator()(HANDLE file) const {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};
using FileHandle = std::unique_ptr<void, FileCloser>;

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

}  // namespace crashhandler
