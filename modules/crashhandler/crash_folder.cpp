#include "crash_folder.h"

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <system_error>
#include <vector>

#include "platform/special_folders.h"

namespace crashhandler {
namespace {

namespace fs = std::filesystem;

// The stem of one of our reports or dumps: "crash-<pid>" as older versions
// named them, or "crash-<date>-<time>-<pid>-<random>"; empty for other names.
std::string ReportKey(const fs::path& file) {
  static const std::regex ours("crash-([0-9]+|[0-9]{8}-[0-9]{6}-[0-9]+-[0-9a-f]{8})\\.(txt|dmp)");
  const std::string name = file.filename().string();
  std::smatch match;
  if (!std::regex_match(name, match, ours)) return {};
  return match[1].str();
}

}  // namespace

std::optional<fs::path> UserCrashFolder(std::string* problem) {
  char16_t base[platform::kMaxPath] = {};
  // Not created by the lookup, which would keep the system's reason to itself.
  if (!platform::SHGetSpecialFolderPathW(nullptr, base, platform::kCsidlLocalAppData, false)) {
    if (problem != nullptr) *problem = "the user's local application data folder is unknown";
    return std::nullopt;
  }
  fs::path folder{std::u16string(base)};
  if (!folder.is_absolute()) {
    if (problem != nullptr) *problem = "the user's local application data folder is not absolute";
    return std::nullopt;
  }
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) {
    if (problem != nullptr) {
      const std::u8string name = folder.u8string();
      *problem = std::string(name.begin(), name.end()) + ": " + error.message();
    }
    return std::nullopt;
  }
  for (const char* part : {"Harlund", "Pellicor", "Crashes"}) {
    folder /= part;
    if (fs::create_directory(folder, error)) {
      // Reports name the user's files and what the process ran: for the user only.
      fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
    }
    if (error || !fs::is_directory(folder, error)) {
      if (problem != nullptr) {
        const std::u8string name = folder.u8string();
        *problem = std::string(name.begin(), name.end()) + ": " +
                   (error ? error.message() : std::string("not a folder"));
      }
      return std::nullopt;
    }
  }
  return folder;
}

void PruneCrashFolder(const fs::path& folder, std::size_t keep) {
  struct Report {
    fs::file_time_type newest = fs::file_time_type::min();
    std::vector<fs::path> files;
  };
  std::map<std::string, Report> reports;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::string key = ReportKey(entry.path());
    if (key.empty() || !entry.is_regular_file(error)) continue;
    Report& report = reports[key];
    report.newest = std::max(report.newest, entry.last_write_time(error));
    report.files.push_back(entry.path());
  }
  if (reports.size() <= keep) return;
  std::vector<const Report*> byAge;
  for (const auto& [key, report] : reports) byAge.push_back(&report);
  std::sort(byAge.begin(), byAge.end(),
            [](const Report* a, const Report* b) { return a->newest > b->newest; });
  for (std::size_t i = keep; i < byAge.size(); ++i) {
    for (const fs::path& file : byAge[i]->files) fs::remove(file, error);
  }
}

}  // namespace crashhandler
