#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/directory_listing.h"
#include "platform/utf_common.h"

namespace platform {
namespace {

EntryKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return EntryKind::kRegular;
  if (S_ISDIR(mode)) return EntryKind::kDirectory;
  if (S_ISLNK(mode)) return EntryKind::kSymlink;
  return EntryKind::kOther;
}

// Nothing there, or a file where a folder should be: no error, only no entry.
bool IsMissing(int error) { return error == ENOENT || error == ENOTDIR; }

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

struct DirectoryListing::State {
  DIR* dir = nullptr;

  ~State() {
    if (dir != nullptr) closedir(dir);
  }
};

namespace {

std::unique_ptr<DirectoryListing::State> OpenState(int fd, int& error) {
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  DIR* dir = fdopendir(fd);
  if (dir == nullptr) {
    error = errno;
    close(fd);
    return nullptr;
  }
  auto state = std::make_unique<DirectoryListing::State>();
  state->dir = dir;
  return state;
}

}  // namespace

DirectoryListing::DirectoryListing(const std::string& path, int& error) {
  error = 0;
  state_ = OpenState(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), error);
}

// Relative to the parent's descriptor: the kernel resolves one name instead
// of the whole path again.
DirectoryListing::DirectoryListing(const DirectoryListing& parent, const std::string& name,
                                   const std::string&, int& error) {
  error = 0;
  const int fd = openat(dirfd(parent.state_->dir), name.c_str(),
                        O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  state_ = OpenState(fd, error);
}

DirectoryListing::~DirectoryListing() = default;
DirectoryListing::DirectoryListing(DirectoryListing&&) noexcept = default;
DirectoryListing& DirectoryListing::operator=(DirectoryListing&&) noexcept = default;

bool DirectoryListing::Next(std::string& name, EntryKind& kind, int& error) {
  error = 0;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(state_->dir);
    if (entry == nullptr) {
      error = errno;
      return false;
    }
    if (IsDotOrDotDot(entry->d_name)) continue;
    name.assign(entry->d_name);
    switch (entry->d_type) {
      case DT_REG:
        kind = EntryKind::kRegular;
        return true;
      case DT_DIR:
        kind = EntryKind::kDirectory;
        return true;
      case DT_LNK:
        kind = EntryKind::kSymlink;
        return true;
      case DT_UNKNOWN:
        break;
      default:
        kind = EntryKind::kOther;
        return true;
    }
    // Some file systems do not fill in the type.
    struct stat status {};
    if (fstatat(dirfd(state_->dir), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno == ENOENT) continue;  // gone since it was listed
      error = errno;
      return false;
    }
    kind = KindOfMode(status.st_mode);
    return true;
  }
}

EntryKind DirectoryListing::Follow(const std::string& name, const std::string&, int& error) const {
  error = 0;
  struct stat status {};
  if (fstatat(dirfd(state_->dir), name.c_str(), &status, 0) == 0) return KindOfMode(status.st_mode);
  if (!IsMissing(errno)) error = errno;
  return EntryKind::kOther;
}

EntryKind KindOfPath(const std::string& path, int& error) {
  error = 0;
  struct stat status {};
  if (stat(path.c_str(), &status) == 0) return KindOfMode(status.st_mode);
  if (!IsMissing(errno)) error = errno;
  return EntryKind::kOther;
}

bool SizeOfPath(const std::string& path, std::uint64_t& size, int& error) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    error = errno;
    return false;
  }
  error = 0;
  size = static_cast<std::uint64_t>(status.st_size);
  return true;
}

EntryKind KindOfPath(const std::u16string& path, int& error) {
  return KindOfPath(Utf16ToUtf8(path), error);
}

}  // namespace platform
