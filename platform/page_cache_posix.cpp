#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/page_cache.h"

namespace platform {
namespace {

class Descriptor {
 public:
  explicit Descriptor(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

// The kernel's own count (Linux 6.5 on). Its system call number is the
// same on every architecture.
constexpr long kCachestat = 451;

struct CachestatRange {
  std::uint64_t offset;
  std::uint64_t length;  // 0: to the end
};
struct Cachestat {
  std::uint64_t cached;
  std::uint64_t dirty;
  std::uint64_t writeback;
  std::uint64_t evicted;
  std::uint64_t recentlyEvicted;
};

enum class Answer { kCounted, kNotPermitted, kNotAvailable };

Answer CountWithCachestat(int fd, std::uint64_t& cachedPages, int& error) {
  CachestatRange range{0, 0};
  Cachestat counts{};
  if (syscall(kCachestat, fd, &range, &counts, 0) == 0) {
    cachedPages = counts.cached;
    return Answer::kCounted;
  }
  if (errno == EPERM) return Answer::kNotPermitted;
  if (errno == ENOSYS) return Answer::kNotAvailable;
  error = errno;
  return Answer::kNotAvailable;
}

// The kernel tells mincore's caller the truth only for files it owns or
// may write (others' files it reports as wholly cached), so it is asked
// only for those.
bool MincoreTellsTheTruth(int fd, const struct stat& status) {
  if (geteuid() == 0 || status.st_uid == geteuid()) return true;
  return faccessat(AT_FDCWD, ("/proc/self/fd/" + std::to_string(fd)).c_str(), W_OK, AT_EACCESS) ==
         0;
}

// A piece of the file is mapped at a time, only to ask which of its pages
// are cached; nothing is read through the mapping.
bool CountWithMincore(int fd, std::uint64_t size, std::uint64_t& cachedPages, int& error) {
  const auto pageSize = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  constexpr std::uint64_t kPiecePages = 1 << 18;  // 1 GiB of 4 KiB pages, a 256 KiB vector
  std::vector<unsigned char> pages(kPiecePages);
  cachedPages = 0;
  for (std::uint64_t offset = 0; offset < size; offset += kPiecePages * pageSize) {
    const std::uint64_t length = std::min(size - offset, kPiecePages * pageSize);
    void* mapping = mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, static_cast<off_t>(offset));
    if (mapping == MAP_FAILED) {
      error = errno;
      return false;
    }
    const bool told = mincore(mapping, length, pages.data()) == 0;
    if (!told) error = errno;
    munmap(mapping, length);
    if (!told) return false;
    const std::uint64_t count = (length + pageSize - 1) / pageSize;
    for (std::uint64_t i = 0; i < count; ++i) cachedPages += pages[i] & 1u;
  }
  return true;
}

}  // namespace

bool PageCacheAvailable() { return true; }

bool MeasureResidency(const std::string& path, Residency& residency, int& error) {
  error = 0;
  residency = {};
  const Descriptor file(path);
  struct stat status {};
  if (file.Get() < 0 || fstat(file.Get(), &status) != 0) {
    error = errno;
    return false;
  }
  if (!S_ISREG(status.st_mode)) {
    error = EINVAL;
    return false;
  }
  const auto pageSize = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  residency.size = static_cast<std::uint64_t>(status.st_size);
  residency.pages = (residency.size + pageSize - 1) / pageSize;
  std::uint64_t cached = 0;
  switch (CountWithCachestat(file.Get(), cached, error)) {
    case Answer::kCounted:
      residency.known = true;
      break;
    case Answer::kNotPermitted:
      return true;
    case Answer::kNotAvailable:
      if (error != 0) return false;
      if (!MincoreTellsTheTruth(file.Get(), status)) return true;
      if (!CountWithMincore(file.Get(), residency.size, cached, error)) return false;
      residency.known = true;
      break;
  }
  residency.cachedPages = std::min(cached, residency.pages);
  residency.cachedBytes = std::min(residency.cachedPages * pageSize, residency.size);
  return true;
}

bool DropFromCache(const std::string& path, int& error) {
  const Descriptor file(path);
  if (file.Get() < 0) {
    error = errno;
    return false;
  }
  error = posix_fadvise(file.Get(), 0, 0, POSIX_FADV_DONTNEED);
  return error == 0;
}

}  // namespace platform
