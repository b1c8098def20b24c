#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "errors.h"
#include "output_file.h"

namespace lexiqon {
namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
  throw FileError(path, std::strerror(error));
}

// Closes the descriptor and removes the temporary file unless it was kept.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string pattern) : path_(std::move(pattern)) {
    fd_ = ::mkstemp(path_.data());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_) ::unlink(path_.c_str());
  }

  int Fd() const { return fd_; }
  const std::string& Path() const { return path_; }
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  int fd_ = -1;
  bool kept_ = false;
};

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

std::string Folder(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

void WriteThrough(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) Fail(path, errno);
  const bool written = WriteAll(fd, bytes);
  const int error = errno;
  if (::close(fd) != 0 && written) Fail(path, errno);
  if (!written) Fail(path, error);
}

void Replace(const std::string& path, const std::string& bytes, const struct stat* old) {
  TemporaryFile temporary(Folder(path) + "/.lexiqon-XXXXXX");
  if (temporary.Fd() < 0) Fail(path, errno);
  const mode_t mode = old != nullptr ? (old->st_mode & 07777) : [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  if (::fchmod(temporary.Fd(), mode) != 0 || !WriteAll(temporary.Fd(), bytes) ||
      ::fsync(temporary.Fd()) != 0 || temporary.Close() != 0) {
    Fail(path, errno);
  }
  if (::rename(temporary.Path().c_str(), path.c_str()) != 0) Fail(path, errno);
  temporary.Keep();
}

void WriteStandardOutput(const std::string& bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
      std::fflush(stdout) != 0) {
    Fail("-", errno);
  }
}

}  // namespace

void WriteOutput(const std::string& path, const std::string& bytes) {
  if (path == "-") return WriteStandardOutput(bytes);
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) {
    if (errno != ENOENT) Fail(path, errno);
    return Replace(path, bytes, nullptr);
  }
  if (S_ISDIR(status.st_mode)) Fail(path, EISDIR);
  if (!S_ISREG(status.st_mode)) return WriteThrough(path, bytes);
  // Without write permission the file is not ours to replace.
  if (::access(path.c_str(), W_OK) != 0) Fail(path, errno);
  Replace(path, bytes, &status);
}

}  // namespace lexiqon
