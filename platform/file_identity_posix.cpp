#include <sys/stat.h>

#include <cerrno>

#include "platform/file_identity.h"

namespace platform {

bool IdentifyFile(const std::string& path, FileIdentity& identity, int& error) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    error = errno;
    return false;
  }
  identity = {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
  return true;
}

}  // namespace platform
