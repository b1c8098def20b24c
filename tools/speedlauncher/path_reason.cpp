#include "path_reason.h"

#include <system_error>

#include "platform/directory_listing.h"
#include "platform/file_identity.h"

namespace speedlauncher {

std::string WhyNotAFile(const std::string& path) {
  platform::FileIdentity identity;
  int error = 0;
  if (!platform::IdentifyFile(path, identity, error)) {
    return std::system_category().message(error);
  }
  if (platform::KindOfPath(path, error) == platform::EntryKind::kDirectory) return "a folder";
  return "not a regular file";
}

}  // namespace speedlauncher
