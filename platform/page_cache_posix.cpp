#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Maps the file only to ask the kernel which of its pages are cached;
// nothing is read through the mapping.
bool CountCachedPages(int fd, std::uint64_t size, std::uint64_t& cached, int& error) {
  const auto pageSize = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  void* mapping = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
  if (mapping == MAP_FAILED) {
    error = errno;
    return false;
  }
  std::vector<unsigned char> pages((size + pageSize - 1) / pageSize);
  const bool told = mincore(mapping, size, pages.data()) == 0;
  if (!told) error = errno;
  munmap(mapping, size);
  if (!told) return false;
  std::uint64_t count = 0;
  for (unsigned char page : pages) count += page & 1u;
  cached = count * pageSize < size ? count * pageSize : size;
  return true;
}

}  // namespace

bool PageCacheAvailable() { return true; }

bool CachedBytes(const std::string& path, std::uint64_t& cached, std::uint64_t& size, int& error) {
  error = 0;
  cached = 0;
  size = 0;
  const Descriptor file(path);
  struct stat status {};
  if (file.Get() < 0 || fstat(file.Get(), &status) != 0) {
    error = errno;
    return false;
  }
  size = static_cast<std::uint64_t>(status.st_size);
  if (!S_ISREG(status.st_mode) || size == 0) return true;
  return CountCachedPages(file.Get(), size, cached, error);
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
