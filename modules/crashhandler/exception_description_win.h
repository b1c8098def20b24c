#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace crashhandler {

// "exception 0xC0000005 (access violation), write, address 0x100";
// "abort (exception 0x40000015 raised for SIGABRT)".
std::string DescribeException(const EXCEPTION_RECORD& record);

// For the launcher's abort exception: the address in the C runtime where
// the thread's frames before the crash path's own begin.
std::optional<std::uint64_t> AbortCaller(const EXCEPTION_RECORD& record);

}  // namespace crashhandler
