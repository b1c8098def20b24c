#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/environment.h"
#include "vantilcore/console.h"

namespace vantilcore::console {
namespace {

constexpr char16_t kLogVariable[] = u"VANTIL_CONSOLE_LOG";

// Through the wide environment: on Windows the narrow one holds the ANSI
// code page, which cannot spell most folder names.
std::u16string Variable(const char16_t* name) {
  std::u16string value(256, u'\0');
  for (;;) {
    const std::uint32_t length = platform::GetEnvironmentVariableW(
        name, value.data(), static_cast<std::uint32_t>(value.size()));
    if (length < value.size()) {
      value.resize(length);
      return value;
    }
    value.resize(length);
  }
}

bool IsRegularFile(const std::u16string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

}  // namespace

ConsoleLogFile& ConsoleLogFile::GetInstance() {
  static ConsoleLogFile instance;
  return instance;
}

// The library never creates a log file, so the flag has no effect.
bool ConsoleLogFile::GetLogFilePath(UTF16String& path, bool) {
  const std::u16string named = Variable(kLogVariable);
  if (named.empty() || !IsRegularFile(named)) return false;
  path.assign(named.begin(), named.end());
  return true;
}

}  // namespace vantilcore::console
