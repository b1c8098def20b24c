#include <filesystem>
#include <fstream>
#include <string>

#include "debug_database_parser.h"
#include "platform/special_folders.h"
#include "vantilcore/debug.h"

namespace vantilcore::debug {
namespace {

constexpr std::u16string_view kMakerFolder = u"Harlund";
constexpr std::u16string_view kFileName = u"DebugDatabase.txt";

bool DatabasePath(std::filesystem::path& path) {
  char16_t folder[platform::kMaxPath + 1] = {};
  if (!platform::SHGetSpecialFolderPathW(nullptr, folder, platform::kCsidlAppData, false))
    return false;
  folder[platform::kMaxPath] = u'\0';
  path = std::filesystem::path(std::u16string(folder)) / kMakerFolder / kFileName;
  return true;
}

// Missing or unreadable files read as empty; at most the first MiB counts.
std::string ReadDatabaseFile() {
  std::filesystem::path path;
  if (!DatabasePath(path)) return {};
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  std::string text(detail::kLargestDatabaseFile, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(file.gcount()));
  return text;
}

}  // namespace

DebugDatabase& DebugDatabase::Instance() {
  static DebugDatabase database;
  return database;
}

DebugDatabase::DebugDatabase()
    : trueValue(reinterpret_cast<const unsigned char*>("true")),
      entries_(detail::ParseDebugDatabase(ReadDatabaseFile())) {}

UTF8String DebugDatabase::GetEntry(const UTF8String& key, const UTF8String& defaultValue) {
  std::lock_guard lock(mutex_);
  const auto found = entries_.find(key);
  return found == entries_.end() ? defaultValue : found->second;
}

void DebugDatabase::SetEntry(const UTF8String& key, const UTF8String& value) {
  std::lock_guard lock(mutex_);
  entries_[key] = value;
}

}  // namespace vantilcore::debug
