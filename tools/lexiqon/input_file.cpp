#include "input_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "errors.h"
#include "platform/file_open.h"

namespace lexiqon {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string ReadAll(std::FILE* file, const std::string& path) {
  std::string bytes;
  // A regular file's size saves the string's regrowing; a pipe has none.
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!error) bytes.reserve(static_cast<std::size_t>(size));
  char buffer[1 << 16];
  for (;;) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
    bytes.append(buffer, got);
    if (got == sizeof buffer) continue;
    if (std::ferror(file) != 0) throw FileError(path, std::strerror(errno));
    return bytes;
  }
}

}  // namespace

std::string ReadInput(const std::string& path) {
  if (path == "-") return ReadAll(stdin, "-");
  errno = 0;
  const std::unique_ptr<std::FILE, FileCloser> file(platform::OpenFile(path, "rb"));
  if (!file) throw FileError(path, std::strerror(errno));
  return ReadAll(file.get(), path);
}

void CheckReadable(const std::string& path) {
  if (path == "-") return;
  errno = 0;
  const std::unique_ptr<std::FILE, FileCloser> file(platform::OpenFile(path, "rb"));
  if (!file) throw FileError(path, std::strerror(errno));
  // A folder opens but cannot be read.
  std::fgetc(file.get());
  if (std::ferror(file.get()) != 0) throw FileError(path, std::strerror(errno));
}

}  // namespace lexiqon
