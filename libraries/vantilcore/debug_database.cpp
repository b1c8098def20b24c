#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "debug_database_parser.h"
#include "platform/file_open.h"
#include "platform/path_separator.h"
#include "platform/special_folders.h"
#include "vantilcore/debug.h"

namespace vantilcore::debug {
namespace {

constexpr std::u16string_view kMakerFolder = u"Harlund";
constexpr std::u16string_view kFileName = u"DebugDatabase.txt";

bool DatabasePath(std::u16string& path) {
  char16_t folder[platform::kMaxPath + 1] = {};
  if (!platform::SHGetSpecialFolderPathW(nullptr, folder, platform::kCsidlAppData, false))
    return false;
  folder[platform::kMaxPath] = u'\0';
  path = folder;
  for (const std::u16string_view part : {kMakerFolder, kFileName}) {
    if (!path.empty() && !platform::IsPathSeparator(path.back())) path += platform::kPathSeparator;
    path += part;
  }
  return true;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Missing or unreadable files read as empty; at most the first MiB counts.
// Read in pieces straight into the text: a small file costs neither a
// cleared megabyte nor a large stack frame.
std::string ReadDatabaseFile() {
  std::u16string path;
  if (!DatabasePath(path)) return {};
  const std::unique_ptr<std::FILE, FileCloser> file(platform::_wfopen(path.c_str(), u"rb"));
  if (!file) return {};
  constexpr std::size_t kPiece = 16384;
  std::string text;
  while (text.size() < detail::kLargestDatabaseFile) {
    const std::size_t start = text.size();
    const std::size_t wanted = std::min(kPiece, detail::kLargestDatabaseFile - start);
    text.resize(start + wanted);
    const std::size_t count = std::fread(text.data() + start, 1, wanted, file.get());
    text.resize(start + count);
    if (count < wanted) break;
  }
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
