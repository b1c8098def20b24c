#include "input_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "errors.h"
#include "platform/file_open.h"

namespace lexiqon {
namespace {

constexpr std::size_t kPiece = 1 << 16;
constexpr std::uint64_t kMaxSpooled = std::uint64_t{1} << 30;

// A regular file, or a device that can be read again from its start.
bool IsSeekable(std::FILE* file) {
  struct stat status {};
  if (::fstat(fileno(file), &status) != 0) return false;
  // A socket refuses the seek.
  return S_ISREG(status.st_mode) ||
         (!S_ISFIFO(status.st_mode) && std::fseek(file, 0, SEEK_CUR) == 0);
}

}  // namespace

InputFile::InputFile(const std::string& path) : path_(path) {
  errno = 0;
  std::FILE* opened = stdin;
  if (path != "-") {
    opened = platform::OpenFile(path, "rb");
    if (opened == nullptr) throw FileError(path, std::strerror(errno));
    // A folder opens but cannot be read. The byte goes back: a pipe could
    // not be rewound.
    const int first = std::fgetc(opened);
    if (std::ferror(opened) != 0) {
      const int error = errno;
      std::fclose(opened);
      throw FileError(path, std::strerror(error));
    }
    if (first != EOF) std::ungetc(first, opened);
  }
  if (IsSeekable(opened)) {
    file_ = opened;
    owned_ = opened != stdin;
    return;
  }
  copied_ = true;
  // A pipe or FIFO cannot be read twice: its bytes go to a file the system
  // removes when it is closed, up to a size no dictionary reaches.
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(opened == stdin ? nullptr : opened,
                                                               &std::fclose);
  file_ = platform::OpenTemporaryFile();
  if (file_ == nullptr) throw FileError(path, std::strerror(errno));
  owned_ = true;
  char buffer[kPiece];
  std::uint64_t total = 0;
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, opened)) != 0;) {
    total += got;
    if (total > kMaxSpooled) {
      throw FileError(path, "more than 1 GiB from a pipe; name a regular file instead");
    }
    if (std::fwrite(buffer, 1, got, file_) != got) throw FileError(path, std::strerror(errno));
  }
  if (std::ferror(opened) != 0) throw FileError(path, std::strerror(errno));
}

InputFile::~InputFile() {
  if (owned_ && file_ != nullptr) std::fclose(file_);
}

std::FILE* InputFile::Rewound() {
  std::clearerr(file_);
  if (std::fseek(file_, 0, SEEK_SET) != 0) throw FileError(path_, std::strerror(errno));
  return file_;
}

std::string InputFile::Head(std::size_t size) {
  std::string bytes(size, '\0');
  bytes.resize(std::fread(bytes.data(), 1, size, Rewound()));
  ThrowIfFailed();
  return bytes;
}

std::string InputFile::ReadAll() {
  std::FILE* file = Rewound();
  std::string bytes;
  struct stat status {};
  if (::fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode)) {
    bytes.reserve(static_cast<std::size_t>(status.st_size));
  }
  char buffer[kPiece];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) != 0;) {
    bytes.append(buffer, got);
  }
  ThrowIfFailed();
  return bytes;
}

void InputFile::ThrowIfFailed() {
  if (std::ferror(file_) != 0) throw FileError(path_, std::strerror(errno));
}

InputBuffer::InputBuffer(InputFile& file, std::string prefix)
    : stream_(file.Rewound()),
      buffer_(std::make_unique<char[]>(kPiece)),
      prefix_(std::move(prefix)) {
  setg(buffer_.get(), buffer_.get(), buffer_.get());
}

InputBuffer::int_type InputBuffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  bufferStart_ += egptr() - eback();
  const auto prefixSize = static_cast<off_type>(prefix_.size());
  std::size_t got = 0;
  if (bufferStart_ < prefixSize) {
    got = prefix_.copy(buffer_.get(), kPiece, static_cast<std::size_t>(bufferStart_));
  }
  const off_type fileOffset = bufferStart_ + static_cast<off_type>(got) - prefixSize;
  if (fileAt_ != fileOffset) {
    if (std::fseek(stream_, static_cast<long>(fileOffset), SEEK_SET) != 0) {
      return traits_type::eof();
    }
    fileAt_ = fileOffset;
  }
  const std::size_t read = std::fread(buffer_.get() + got, 1, kPiece - got, stream_);
  fileAt_ += static_cast<off_type>(read);
  got += read;
  setg(buffer_.get(), buffer_.get(), buffer_.get() + got);
  // A read error shows as the end here; readers ask ThrowIfFailed after.
  if (got == 0) return traits_type::eof();
  return traits_type::to_int_type(*gptr());
}

InputBuffer::pos_type InputBuffer::seekoff(off_type offset, std::ios::seekdir direction,
                                           std::ios::openmode mode) {
  if (direction == std::ios::cur) {
    return seekpos(pos_type(bufferStart_ + (gptr() - eback()) + offset), mode);
  }
  if (direction == std::ios::beg) return seekpos(pos_type(offset), mode);
  // Every InputFile is a regular file; its size leaves the position alone.
  struct stat status {};
  if (::fstat(fileno(stream_), &status) != 0) return pos_type(off_type(-1));
  const off_type end =
      static_cast<off_type>(status.st_size) + static_cast<off_type>(prefix_.size());
  return seekpos(pos_type(end + offset), mode);
}

InputBuffer::pos_type InputBuffer::seekpos(pos_type position, std::ios::openmode) {
  const off_type offset = position;
  if (offset < 0) return pos_type(off_type(-1));
  // Within the piece read last: no system call.
  if (offset >= bufferStart_ && offset <= bufferStart_ + (egptr() - eback())) {
    setg(eback(), eback() + (offset - bufferStart_), egptr());
    return position;
  }
  bufferStart_ = offset;
  setg(buffer_.get(), buffer_.get(), buffer_.get());
  return position;
}

}  // namespace lexiqon
