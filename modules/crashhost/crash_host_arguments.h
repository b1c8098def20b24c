#pragma once

#include <crashhost/exception_information.h>

#include <cstdint>
#include <optional>
#include <string>

namespace crashhost {

// What the crashed process asked of the host.
struct CrashHostRequest {
  std::string modulePath;
  std::uint64_t context = 0;  // an address in the crashed process
  CrashExceptionInformation information{};
};

// Null when the count is wrong or a value is malformed or out of range.
std::optional<CrashHostRequest> ParseCrashHostArguments(int argc, const char* const* argv);

}  // namespace crashhost
