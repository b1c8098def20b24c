#include "prefetch/lists/entry_expansion.h"

#include <boost/filesystem/exception.hpp>
#include <boost/filesystem/operations.hpp>
#include <boost/regex.hpp>
#include <optional>
#include <ostream>

namespace SpeedLauncher {
namespace {

namespace fs = boost::filesystem;

// Every regular file below directory, depth-first; links to directories are
// listed but not entered (the iterator's default).
EntryResult WalkDirectory(const fs::path& directory, const EntryAttributes& entry,
                          const ExpansionContext& context, PrefetchList& list) {
  std::optional<boost::regex> pattern;
  for (fs::recursive_directory_iterator it(directory), end; it != end; ++it) {
    if (context.cancelled()) return EntryResult::kCancelled;
    // The link's own status first: the entry caches it, the iterator needs it
    // to decide on descending, and status() reuses it unless it is a link,
    // so one system call per entry instead of two.
    it->symlink_status();
    if (!fs::is_regular_file(it->status())) continue;
    const std::string& path = it->path().string();
    if (!entry.pattern.empty()) {
      if (!pattern) pattern.emplace(entry.pattern);
      if (!boost::regex_match(path, *pattern)) continue;
    }
    list.push_back({path, entry.isForeground});
  }
  return EntryResult::kDone;
}

EntryResult ExpandPath(const std::string& fullPath, const EntryAttributes& entry,
                       const ExpansionContext& context, PrefetchList& list) {
  const fs::file_status status = fs::status(fs::path(fullPath));
  if (fs::is_regular_file(status)) {
    list.push_back({fullPath, entry.isForeground});
    return EntryResult::kDone;
  }
  if (!fs::is_directory(status)) return EntryResult::kDone;
  return WalkDirectory(fs::path(fullPath), entry, context, list);
}

}  // namespace

EntryResult ExpandEntry(const EntryAttributes& entry, const ExpansionContext& context,
                        PrefetchList& list) {
  if (entry.NamesNothing()) return EntryResult::kDone;
  try {
    return ExpandPath(FullPath(entry, context.defaultBase), entry, context, list);
  } catch (const fs::filesystem_error& error) {
    if (context.errors != nullptr) {
      *context.errors << error.code().category().name() << ':' << error.code().value()
                      << std::flush;
    }
  } catch (...) {
    // An invalid pattern, memory running out: this entry yields no more.
  }
  return EntryResult::kDone;
}

}  // namespace SpeedLauncher
