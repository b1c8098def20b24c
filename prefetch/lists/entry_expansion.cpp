#include "prefetch/lists/entry_expansion.h"

#include <boost/filesystem.hpp>
#include <boost/regex.hpp>
#include <iostream>
#include <optional>

#include "prefetch/worker/cancel_flag.h"

namespace SpeedLauncher {
namespace {

namespace fs = boost::filesystem;

// Walks `directory` depth-first without descending through directory links;
// the pattern, when there is one, must match the whole path.
bool WalkDirectory(const fs::path& directory, const ListEntry& entry, ApplicationList& list) {
  std::optional<boost::regex> pattern;
  for (fs::recursive_directory_iterator it(directory), end; it != end; ++it) {
    if (CancelRequested()) return false;
    const fs::path& path = it->path();
    if (!fs::is_regular_file(fs::status(path))) continue;
    if (!entry.pattern.empty()) {
      if (!pattern) pattern.emplace(entry.pattern);
      if (!boost::regex_match(path.string(), *pattern)) continue;
    }
    list.push_back({path.string(), entry.isForeground});
  }
  return true;
}

bool ExpandPath(const std::string& fullPath, const ListEntry& entry, ApplicationList& list) {
  const fs::path path(fullPath);
  const fs::file_status status = fs::status(path);
  if (fs::is_regular_file(status)) {
    list.push_back({fullPath, entry.isForeground});
    return true;
  }
  if (fs::is_directory(status)) return WalkDirectory(path, entry, list);
  return true;
}

}  // namespace

std::string EntryFullPath(const ListEntry& entry, const std::string& defaultBase) {
  if (fs::path(entry.relativePath).is_absolute()) return entry.relativePath;
  std::string base = entry.basePath;
  StandardLocation(entry.standardPath, base);
  if (base.empty()) base = defaultBase;
  return base + "/" + entry.relativePath;
}

bool ExpandEntry(const ListEntry& entry, const std::string& defaultBase, ApplicationList& list) {
  if (entry.relativePath.empty() && entry.basePath.empty() && entry.standardPath.empty()) {
    return true;
  }
  try {
    return ExpandPath(EntryFullPath(entry, defaultBase), entry, list);
  } catch (const fs::filesystem_error& error) {
    std::cerr << error.code().category().name() << ':' << error.code().value();
  } catch (...) {
    // A bad pattern or memory running out: this entry gives what it gave.
  }
  return true;
}

}  // namespace SpeedLauncher
