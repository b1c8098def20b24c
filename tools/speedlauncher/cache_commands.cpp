#include <cstdio>
#include <ostream>

#include "commands.h"
#include "list_loading.h"
#include "platform/page_cache.h"
#include "report_text.h"

namespace speedlauncher {
namespace {

constexpr const char* kUnknown = "unknown (not permitted)";

std::string Reason(int error) { return std::system_category().message(error); }

bool RefuseWithoutPageCache(const char* command, std::ostream& errors) {
  if (platform::PageCacheAvailable()) return false;
  Report(errors, command, 0, Severity::kError, "not available on this system");
  return true;
}

// Two decimals, as the cache tools show them: 99.99% is not 100%.
std::string Percent(std::uint64_t part, std::uint64_t whole) {
  char text[16];
  std::snprintf(
      text, sizeof text, "%.2f%%",
      whole == 0 ? 100.0 : static_cast<double>(part) * 100.0 / static_cast<double>(whole));
  return text;
}

std::string Count(std::uint64_t count, const char* one, const char* many) {
  return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

struct Totals {
  std::uint64_t files = 0;  // measured
  std::uint64_t bytes = 0;
  std::uint64_t pages = 0;
  std::uint64_t cachedBytes = 0;
  std::uint64_t cachedPages = 0;
  std::uint64_t unknownFiles = 0;
  std::uint64_t unknownBytes = 0;

  void Add(const platform::Residency& residency) {
    if (!residency.known) {
      ++unknownFiles;
      unknownBytes += residency.size;
      return;
    }
    ++files;
    bytes += residency.size;
    pages += residency.pages;
    cachedBytes += residency.cachedBytes;
    cachedPages += residency.cachedPages;
  }
};

std::string FileLine(const platform::Residency& residency, const std::string& path, bool pages) {
  if (!residency.known)
    return std::string(kUnknown) + "  " + HumanSize(residency.size) + "  " + path;
  std::string line;
  if (pages) {
    line =
        std::to_string(residency.cachedPages) + '/' + std::to_string(residency.pages) + " pages  ";
  }
  return line + HumanSize(residency.cachedBytes) + " / " + HumanSize(residency.size) + "  " +
         Percent(residency.cachedBytes, residency.size) + "  " + path;
}

std::string FileJson(const platform::Residency& residency, const std::string& path) {
  const auto known = [&residency](std::uint64_t value) {
    return residency.known ? std::to_string(value) : std::string("null");
  };
  return "{\"path\": " + JsonString(path) + ", \"bytes\": " + std::to_string(residency.size) +
         ", \"pages\": " + std::to_string(residency.pages) +
         ", \"cached_bytes\": " + known(residency.cachedBytes) +
         ", \"cached_pages\": " + known(residency.cachedPages) +
         ", \"known\": " + (residency.known ? "true" : "false") + "}";
}

void PrintTotals(const Totals& totals, bool pages, std::ostream& out) {
  out << "resident: ";
  if (totals.files == 0 && totals.unknownFiles > 0) {
    out << "nothing measured";
  } else {
    if (pages) out << totals.cachedPages << " of " << totals.pages << " pages, ";
    out << HumanSize(totals.cachedBytes) << " of " << HumanSize(totals.bytes) << " ("
        << Percent(totals.cachedBytes, totals.bytes) << ") in "
        << Count(totals.files, "file", "files");
  }
  if (totals.unknownFiles > 0) {
    out << "; " << kUnknown << ": " << HumanSize(totals.unknownBytes) << " in "
        << Count(totals.unknownFiles, "file", "files");
  }
  out << '\n';
}

void PrintJsonTotals(const Totals& totals, const std::string* perFile, std::ostream& out) {
  out << "{\"files\": " << totals.files << ", \"cached_bytes\": " << totals.cachedBytes
      << ", \"bytes\": " << totals.bytes << ", \"cached_pages\": " << totals.cachedPages
      << ", \"pages\": " << totals.pages << ", \"unknown_files\": " << totals.unknownFiles
      << ", \"unknown_bytes\": " << totals.unknownBytes;
  if (perFile != nullptr) out << ", \"per_file\": [" << *perFile << "]";
  out << "}\n";
}

}  // namespace

int RunResident(const Options& options, std::ostream& out, std::ostream& errors) {
  if (RefuseWithoutPageCache("resident", errors)) return 1;
  std::vector<std::string> paths;
  int walkErrors = 0;
  if (!FilesWarmReads(options, paths, walkErrors, errors)) return 1;
  Totals totals;
  std::string jsonFiles;
  for (const std::string& path : paths) {
    platform::Residency residency;
    int error = 0;
    if (!platform::MeasureResidency(path, residency, error)) {
      Report(errors, Printable(path), 0, Severity::kWarning, "cannot look at: " + Reason(error));
      continue;
    }
    totals.Add(residency);
    if (!options.perFile) continue;
    if (options.json) {
      jsonFiles += (jsonFiles.empty() ? "" : ", ") + FileJson(residency, path);
    } else {
      out << FileLine(residency, path, options.pages) << '\n';
    }
  }
  if (options.json) {
    PrintJsonTotals(totals, options.perFile ? &jsonFiles : nullptr, out);
  } else {
    PrintTotals(totals, options.pages, out);
  }
  return walkErrors > 0 ? 1 : 0;
}

int RunEvict(const Options& options, std::ostream& out, std::ostream& errors) {
  if (RefuseWithoutPageCache("evict", errors)) return 1;
  std::vector<std::string> paths;
  int walkErrors = 0;
  if (!FilesWarmReads(options, paths, walkErrors, errors)) return 1;
  std::uint64_t dropped = 0;
  Totals kept;  // what the system kept: pages in use or not yet stored
  for (const std::string& path : paths) {
    int error = 0;
    if (!platform::DropFromCache(path, error)) {
      Report(errors, Printable(path), 0, Severity::kWarning,
             "cannot drop from the cache: " + Reason(error));
      continue;
    }
    ++dropped;
    platform::Residency residency;
    if (platform::MeasureResidency(path, residency, error) && residency.known &&
        residency.cachedPages > 0) {
      kept.Add(residency);
    }
  }
  out << "evicted " << dropped << " of " << paths.size() << " files";
  // A cold start timed after this would not be cold for these.
  if (kept.files > 0) {
    out << "; still cached: " << HumanSize(kept.cachedBytes) << " in "
        << Count(kept.files, "file", "files") << " (in use, or written and not yet stored)";
  }
  out << '\n';
  return walkErrors > 0 ? 1 : 0;
}

}  // namespace speedlauncher
