#include "directory_walk.h"

#include <boost/filesystem/path.hpp>
#include <vector>

#include "platform/directory_listing.h"

namespace SpeedLauncher {
namespace {

constexpr const char* kWalkFailed = "cannot walk";

using platform::DirectoryListing;
using platform::EntryKind;

bool EndsInSeparator(const std::string& text) {
  if (text.empty()) return false;
  const char last = text.back();
  return boost::filesystem::path::preferred_separator == '\\'
             ? last == '\\' || last == '/' || last == ':'
             : last == '/';
}

void AppendName(std::string& path, const std::string& name) {
  if (!EndsInSeparator(path))
    path += static_cast<char>(boost::filesystem::path::preferred_separator);
  path += name;
}

struct Level {
  DirectoryListing listing;
  std::size_t length;  // of the directory's own path text
};

}  // namespace

void ThrowIfFailed(int error, const char* what, const std::string& path) {
  if (error == 0) return;
  throw ExpansionError(what, path,
                       boost::system::error_code(error, boost::system::system_category()));
}

WalkResult WalkRegularFiles(const std::string& directory, const CancelCheck& cancelled,
                            const FileVisitor& visit, const FileVisitor& linkedFolder) {
  int error = 0;
  std::vector<Level> open;
  open.push_back({DirectoryListing(directory, error), directory.size()});
  ThrowIfFailed(error, kWalkFailed, directory);
  std::string path = directory;  // the current entry's text, grown and cut in place
  std::string name;
  EntryKind kind = EntryKind::kOther;
  while (!open.empty()) {
    Level& level = open.back();
    path.resize(level.length);
    if (!level.listing.Next(name, kind, error)) {
      ThrowIfFailed(error, kWalkFailed, path);
      open.pop_back();
      continue;
    }
    if (cancelled()) return WalkResult::kCancelled;
    AppendName(path, name);
    if (kind == EntryKind::kSymlink) {
      kind = level.listing.Follow(name, path, error);
      ThrowIfFailed(error, kWalkFailed, path);
      if (kind == EntryKind::kRegular) visit(path);
      if (kind == EntryKind::kDirectory && linkedFolder) linkedFolder(path);
      continue;
    }
    if (kind == EntryKind::kRegular) visit(path);
    if (kind != EntryKind::kDirectory) continue;
    DirectoryListing child(level.listing, name, path, error);
    ThrowIfFailed(error, kWalkFailed, path);
    open.push_back({std::move(child), path.size()});
  }
  return WalkResult::kDone;
}

}  // namespace SpeedLauncher
