#include "crash_settings_reader.h"

#include <crashhandler/settings_record.h>

namespace crashhandler {
namespace {

// A text field holds an address in the crashed process.
std::string ReadText(const ProcessMemory& memory, const unsigned char* field,
                     std::uint64_t length) {
  const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(field));
  if (address == 0 || length == 0 || length > kMaxTextLength) return std::string();
  std::string text(static_cast<std::size_t>(length), '\0');
  if (!memory.Read(address, text.data(), text.size())) return std::string();
  return text;
}

}  // namespace

CrashSettings ReadCrashSettings(const ProcessMemory& memory, std::uint64_t context) {
  CrashSettings settings;
  CrashHandlerSettings record;
  if (!memory.Read(context, &record, sizeof record) ||
      record.recordSize != kCrashHandlerSettingsSize) {
    return settings;
  }
  settings.recordRead = true;
  settings.suppressDialog = record.suppressDialog == 1;
  settings.productName = ReadText(memory, record.productName, record.productNameLength);
  settings.forumAddress = ReadText(memory, record.forumAddress, record.forumAddressLength);
  settings.logDirectory = ReadText(memory, record.logDirectory, record.logDirectoryLength);
  // A path with a NUL inside names some other folder than it seems to.
  if (settings.logDirectory.find('\0') != std::string::npos) settings.logDirectory.clear();
  return settings;
}

}  // namespace crashhandler
