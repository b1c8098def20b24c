#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "errors.h"
#include "output_file.h"

namespace lexiqon {
namespace {

namespace fs = std::filesystem;

void WriteStream(const fs::path& path, const std::string& bytes, std::ios::openmode mode,
                 const std::string& shown) {
  std::ofstream out(path, std::ios::binary | mode);
  if (!out) throw FileError(shown, std::strerror(errno));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw FileError(shown, std::strerror(errno));
}

}  // namespace

void WriteOutput(const std::string& path, const std::string& bytes) {
  if (path == "-") {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0) {
      throw FileError("-", std::strerror(errno));
    }
    return;
  }
  const fs::path target = fs::u8path(path);
  std::error_code error;
  const fs::file_status status = fs::symlink_status(target, error);
  if (fs::is_directory(status)) throw FileError(path, std::strerror(EISDIR));
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    return WriteStream(target, bytes, std::ios::out, path);
  }
  // A name nobody else predicts, in the target's folder, then one rename.
  std::random_device random;
  const fs::path temporary =
      target.parent_path() / (".lexiqon-" + std::to_string(random()) + ".tmp");
  if (fs::exists(temporary)) throw FileError(path, std::strerror(EEXIST));
  try {
    WriteStream(temporary, bytes, std::ios::out | std::ios::trunc, path);
    if (fs::exists(status)) fs::permissions(temporary, fs::status(target).permissions());
    fs::rename(temporary, target);
  } catch (const fs::filesystem_error& failure) {
    fs::remove(temporary, error);
    throw FileError(path, failure.code().message());
  } catch (...) {
    fs::remove(temporary, error);
    throw;
  }
}

}  // namespace lexiqon
