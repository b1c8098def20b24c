#pragma once

// abort() ends a process through the C runtime without an exception, which
// Windows Error Reporting would never see. The launcher's SIGABRT handler
// raises this non-continuable exception instead; its one parameter is the
// handler's return address, inside the runtime's raise(), where the crashed
// thread's own frames begin again.
#include <cstdint>

inline constexpr std::uint32_t kAbortExceptionCode = 0x40000015;  // STATUS_FATAL_APP_EXIT
inline constexpr std::uint32_t kAbortExceptionParameters = 1;
