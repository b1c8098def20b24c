#include "exception_description_win.h"

#include <algorithm>
#include <cstdio>

#include "crashhandler/abort_exception_win.h"

namespace crashhandler {
namespace {

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

const char* ExceptionName(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
      return "access violation";
    case EXCEPTION_IN_PAGE_ERROR:
      return "in-page error";
    case EXCEPTION_STACK_OVERFLOW:
      return "stack overflow";
    case EXCEPTION_ILLEGAL_INSTRUCTION:
      return "illegal instruction";
    case EXCEPTION_PRIV_INSTRUCTION:
      return "privileged instruction";
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
      return "integer division by zero";
    case EXCEPTION_INT_OVERFLOW:
      return "integer overflow";
    case EXCEPTION_BREAKPOINT:
      return "breakpoint";
    case EXCEPTION_DATATYPE_MISALIGNMENT:
      return "misaligned data";
    case EXCEPTION_NONCONTINUABLE_EXCEPTION:
      return "non-continuable exception continued";
    case STATUS_HEAP_CORRUPTION:
      return "heap corruption";
    case STATUS_STACK_BUFFER_OVERRUN:
      return "fail-fast";
    default:
      return nullptr;
  }
}

const char* AccessKind(ULONG_PTR kind) {
  switch (kind) {
    case 0:
      return "read";
    case 1:
      return "write";
    case 8:
      return "execute";
    default:
      return "access";
  }
}

}  // namespace

std::string DescribeException(const EXCEPTION_RECORD& record) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(record.ExceptionCode));
  if (record.ExceptionCode == kAbortExceptionCode) {
    return std::string("abort (exception ") + code + " raised for SIGABRT)";
  }
  std::string text = std::string("exception ") + code;
  if (const char* name = ExceptionName(record.ExceptionCode))
    text += std::string(" (") + name + ")";
  const DWORD count = std::min<DWORD>(record.NumberParameters, EXCEPTION_MAXIMUM_PARAMETERS);
  const ULONG_PTR* parameter = record.ExceptionInformation;
  if ((record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION ||
       record.ExceptionCode == EXCEPTION_IN_PAGE_ERROR) &&
      count >= 2) {
    text += std::string(", ") + AccessKind(parameter[0]) + ", address " + Hex(parameter[1]);
    if (record.ExceptionCode == EXCEPTION_IN_PAGE_ERROR && count >= 3) {
      text += ", status " + Hex(parameter[2]);
    }
  } else if (record.ExceptionCode == STATUS_STACK_BUFFER_OVERRUN && count >= 1) {
    text += ", code " + std::to_string(parameter[0]);
  }
  return text;
}

std::optional<std::uint64_t> AbortCaller(const EXCEPTION_RECORD& record) {
  if (record.ExceptionCode != kAbortExceptionCode ||
      record.NumberParameters != kAbortExceptionParameters) {
    return std::nullopt;
  }
  return record.ExceptionInformation[0];
}

}  // namespace crashhandler
