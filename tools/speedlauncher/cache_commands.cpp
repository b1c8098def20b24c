#include <ostream>

#include "commands.h"
#include "list_loading.h"
#include "platform/page_cache.h"
#include "report_text.h"

namespace speedlauncher {
namespace {

std::string Reason(int error) { return std::system_category().message(error); }

bool RefuseWithoutPageCache(const char* command, std::ostream& errors) {
  if (platform::PageCacheAvailable()) return false;
  Report(errors, command, 0, Severity::kError, "not available on this system");
  return true;
}

int Percent(std::uint64_t part, std::uint64_t whole) {
  return whole == 0 ? 100 : static_cast<int>(part * 100 / whole);
}

}  // namespace

int RunResident(const Options& options, std::ostream& out, std::ostream& errors) {
  if (RefuseWithoutPageCache("resident", errors)) return 1;
  std::vector<std::string> paths;
  if (!FilesWarmReads(options, paths, errors)) return 1;
  std::uint64_t totalCached = 0;
  std::uint64_t totalSize = 0;
  std::uint64_t files = 0;
  std::string jsonFiles;
  for (const std::string& path : paths) {
    std::uint64_t cached = 0;
    std::uint64_t size = 0;
    int error = 0;
    if (!platform::CachedBytes(path, cached, size, error)) {
      Report(errors, path, 0, Severity::kWarning, "cannot look at: " + Reason(error));
      continue;
    }
    ++files;
    totalCached += cached;
    totalSize += size;
    if (!options.perFile) continue;
    if (options.json) {
      jsonFiles += std::string(jsonFiles.empty() ? "" : ", ") + "{\"path\": " + JsonString(path) +
                   ", \"cached_bytes\": " + std::to_string(cached) +
                   ", \"bytes\": " + std::to_string(size) + "}";
    } else {
      out << HumanSize(cached) << " / " << HumanSize(size) << "  " << Percent(cached, size) << "%  "
          << path << '\n';
    }
  }
  if (options.json) {
    out << "{\"files\": " << files << ", \"cached_bytes\": " << totalCached
        << ", \"bytes\": " << totalSize;
    if (options.perFile) out << ", \"per_file\": [" << jsonFiles << "]";
    out << "}\n";
  } else {
    out << "resident: " << HumanSize(totalCached) << " of " << HumanSize(totalSize) << " ("
        << Percent(totalCached, totalSize) << "%) in " << files << " files\n";
  }
  return 0;
}

int RunEvict(const Options& options, std::ostream& out, std::ostream& errors) {
  if (RefuseWithoutPageCache("evict", errors)) return 1;
  std::vector<std::string> paths;
  if (!FilesWarmReads(options, paths, errors)) return 1;
  std::uint64_t dropped = 0;
  for (const std::string& path : paths) {
    int error = 0;
    if (!platform::DropFromCache(path, error)) {
      Report(errors, path, 0, Severity::kWarning, "cannot drop from the cache: " + Reason(error));
      continue;
    }
    ++dropped;
  }
  out << "evicted " << dropped << " of " << paths.size() << " files\n";
  return 0;
}

}  // namespace speedlauncher
