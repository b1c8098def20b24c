// The shell's folders as their freedesktop counterparts; an item list is
// simply the folder's path.
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/special_folders.h"
#include "platform/utf_common.h"

namespace platform {

struct ItemIdList {
  std::u16string path;
};

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// Relative base directories are invalid and ignored, as freedesktop says.
std::string BaseDirectory(std::string folder) {
  return folder.empty() || folder.front() != '/' ? std::string() : folder;
}

std::optional<std::string> CommonAppData() {
  const std::string dirs = Variable("XDG_DATA_DIRS");
  const std::string first = BaseDirectory(dirs.substr(0, dirs.find(':')));
  return first.empty() ? "/usr/local/share" : first;
}

// A freedesktop base directory of the user, or its default under home.
std::optional<std::string> UserFolder(const char* variable, const char* underHome, bool create) {
  std::string folder = BaseDirectory(Variable(variable));
  if (folder.empty()) {
    const std::string home = Variable("HOME");
    if (home.empty()) return std::nullopt;
    folder = home + underHome;
  }
  if (create) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return std::nullopt;
  }
  return folder;
}

std::optional<std::string> ProgramFilesCommon() {
  const std::string folder = Variable("CommonProgramFiles");
  return folder.empty() ? "/usr/local/lib" : folder;
}

std::optional<std::u16string> FolderPath(int folder, bool create) {
  std::optional<std::string> path;
  if (folder == kCsidlCommonAppData) path = CommonAppData();
  if (folder == kCsidlAppData) path = UserFolder("XDG_DATA_HOME", "/.local/share", create);
  // What stays on this machine only: the state folder.
  if (folder == kCsidlLocalAppData) path = UserFolder("XDG_STATE_HOME", "/.local/state", create);
  if (folder == kCsidlProgramFilesCommon) path = ProgramFilesCommon();
  if (!path) return std::nullopt;
  std::u16string wide = Utf8ToUtf16(*path);
  if (wide.size() >= static_cast<std::size_t>(kMaxPath)) return std::nullopt;
  return wide;
}

bool CopyOut(const std::u16string& path, char16_t* out) {
  if (out == nullptr) return false;
  path.copy(out, path.size());
  out[path.size()] = u'\0';
  return true;
}

class Allocator final : public ShellMalloc {
 public:
  void Free(void* block) override { delete static_cast<ItemIdList*>(block); }
  unsigned long Release() override { return 1; }
};

}  // namespace

bool SHGetSpecialFolderPathW(WindowHandle, char16_t* path, int folder, bool create) {
  const std::optional<std::u16string> found = FolderPath(folder, create);
  return found && CopyOut(*found, path);
}

HResult SHGetSpecialFolderLocation(WindowHandle, int folder, ItemIdList** list) {
  if (list == nullptr) return kEFail;
  *list = nullptr;
  std::optional<std::u16string> found = FolderPath(folder, false);
  if (!found) return kEFail;
  *list = new ItemIdList{std::move(*found)};  // freed by the shell allocator's Free
  return kSOk;
}

bool SHGetPathFromIDListW(const ItemIdList* list, char16_t* path) {
  return list != nullptr && CopyOut(list->path, path);
}

HResult SHGetMalloc(ShellMalloc** malloc) {
  static Allocator allocator;  // the shell's allocator is process-wide and never freed
  if (malloc == nullptr) return kEFail;
  *malloc = &allocator;
  return kSOk;
}

}  // namespace platform
