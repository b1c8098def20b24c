#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "vantilcore/console.h"
#include "vantilcore/string.h"

namespace vantilcore::console {
namespace {

constexpr const char* kLogVariable = "VANTIL_CONSOLE_LOG";

bool IsRegularFile(const char* utf8Path) {
  const std::u8string text(reinterpret_cast<const char8_t*>(utf8Path));
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::path(text), error);
}

}  // namespace

ConsoleLogFile& ConsoleLogFile::GetInstance() {
  static ConsoleLogFile instance;
  return instance;
}

// The library never creates a log file, so the flag has no effect.
bool ConsoleLogFile::GetLogFilePath(UTF16String& path, bool) {
  const char* named = std::getenv(kLogVariable);
  if (named == nullptr || *named == '\0' || !IsRegularFile(named)) return false;
  path = string::StdToUTF16String(named);
  return true;
}

}  // namespace vantilcore::console
