#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "errors.h"
#include "output_file.h"

namespace lexiqon {
namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
  throw FileError(path, std::strerror(error));
}

// The temporary file's name for the signal handler. A handler gets no
// context, so the one temporary file under way is named here.
char pendingPath[4096];
volatile std::sig_atomic_t pendingArmed = 0;

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemovePendingAndDie(int signal) {
  if (pendingArmed != 0) ::unlink(pendingPath);
  // The default action ends the process as the signal would have.
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// While it lives, SIGINT, SIGTERM and SIGHUP remove the temporary file
// before the process ends; the handlers before it come back afterwards.
class RemovedOnSignal {
 public:
  RemovedOnSignal() {
    struct sigaction action {};
    action.sa_handler = RemovePendingAndDie;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kCleanupSignals); ++i) {
      ::sigaction(kCleanupSignals[i], nullptr, &previous_[i]);
      // A signal the caller ignores (nohup) stays ignored.
      if (previous_[i].sa_handler == SIG_IGN) continue;
      ::sigaction(kCleanupSignals[i], &action, nullptr);
    }
  }
  RemovedOnSignal(const RemovedOnSignal&) = delete;
  RemovedOnSignal& operator=(const RemovedOnSignal&) = delete;
  ~RemovedOnSignal() {
    pendingArmed = 0;
    for (std::size_t i = 0; i < std::size(kCleanupSignals); ++i) {
      ::sigaction(kCleanupSignals[i], &previous_[i], nullptr);
    }
  }

  void Arm(const std::string& path) {
    if (path.size() >= sizeof pendingPath) return;
    std::memcpy(pendingPath, path.c_str(), path.size() + 1);
    pendingArmed = 1;
  }
  void Disarm() { pendingArmed = 0; }

 private:
  struct sigaction previous_[std::size(kCleanupSignals)]{};
};

// Closes the descriptor and removes the temporary file unless it was kept.
class TemporaryFile {
 public:
  TemporaryFile(std::string pattern, RemovedOnSignal& cleanup) : path_(std::move(pattern)) {
    // A signal between making the file and naming it to the handler would
    // leave it behind: it waits until the name is armed.
    sigset_t blocked;
    sigset_t previous;
    sigemptyset(&blocked);
    for (const int signal : kCleanupSignals) sigaddset(&blocked, signal);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    fd_ = ::mkstemp(path_.data());
    if (fd_ >= 0) cleanup.Arm(path_);
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
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

// Devices, FIFOs and links are written through: they are not ours to
// replace.
void WriteThrough(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) Fail(path, errno);
  const bool written = WriteAll(fd, bytes);
  const int error = errno;
  if (::close(fd) != 0 && written) Fail(path, errno);
  if (!written) Fail(path, error);
}

// Over the file itself, as msgfmt writes, when a new file cannot take its
// place: the content is complete, and the room for it is taken before the
// old content goes, so a full disk leaves the old file whole.
void WriteInPlace(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) Fail(path, errno);
  const auto size = static_cast<off_t>(bytes.size());
  const int reserved = size == 0 ? 0 : ::posix_fallocate(fd, 0, size);
  const bool unsupported = reserved == EOPNOTSUPP || reserved == EINVAL;
  if (reserved != 0 && !unsupported) {
    ::close(fd);
    Fail(path, reserved);
  }
  const bool written = WriteAll(fd, bytes) && ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0;
  const int error = errno;
  if (::close(fd) != 0 && written) Fail(path, errno);
  if (!written) Fail(path, error);
}

// False, with nothing changed, when the new file could not get the old
// one's owner and group.
bool Replace(const std::string& path, const std::string& bytes, const struct stat* old) {
  RemovedOnSignal cleanup;
  TemporaryFile temporary(Folder(path) + "/.lexiqon-XXXXXX", cleanup);
  if (temporary.Fd() < 0) Fail(path, errno);
  const mode_t mode = old != nullptr ? (old->st_mode & 07777) : [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  if (old != nullptr && ::fchown(temporary.Fd(), old->st_uid, old->st_gid) != 0) return false;
  // After the owner: a change of owner clears the set-user-ID bits.
  if (::fchmod(temporary.Fd(), mode) != 0 || !WriteAll(temporary.Fd(), bytes) ||
      ::fsync(temporary.Fd()) != 0 || temporary.Close() != 0) {
    Fail(path, errno);
  }
  if (::rename(temporary.Path().c_str(), path.c_str()) != 0) Fail(path, errno);
  temporary.Keep();
  cleanup.Disarm();
  return true;
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
    Replace(path, bytes, nullptr);
    return;
  }
  if (S_ISDIR(status.st_mode)) Fail(path, EISDIR);
  if (!S_ISREG(status.st_mode)) return WriteThrough(path, bytes);
  // Without write permission the file is not ours to replace.
  if (::access(path.c_str(), W_OK) != 0) Fail(path, errno);
  // A new file would part the links, cannot be made beside it, or cannot
  // be given the old one's owner: the old file takes the new content.
  if (status.st_nlink > 1 || ::access(Folder(path).c_str(), W_OK) != 0 ||
      !Replace(path, bytes, &status)) {
    WriteInPlace(path, bytes);
  }
}

}  // namespace lexiqon
