#include "crash_report.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <system_error>

namespace crashhandler {
namespace {

namespace fs = std::filesystem;

// From the calendar types alone: the C library's thread-safe gmtime has a
// different name on each system.
std::string UtcTime(std::time_t time) {
  using namespace std::chrono;
  const sys_seconds instant{seconds{time}};
  const sys_days day = floor<days>(instant);
  const year_month_day date{day};
  const hh_mm_ss clock{instant - day};
  if (!date.ok()) return "unknown";
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02lld:%02lld:%02lld UTC",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<long long>(clock.hours().count()),
                static_cast<long long>(clock.minutes().count()),
                static_cast<long long>(clock.seconds().count()));
  return text;
}

fs::path Utf8Path(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

}  // namespace

std::string Printable(const std::string& text) {
  std::string printable = text;
  for (char& c : printable) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = '?';
  }
  return printable;
}

std::string FormatCrashReport(const CrashSettings& settings, const CrashFacts& facts) {
  std::string report = "Crash report\n";
  const std::string unknown = settings.recordRead ? "unknown" : "unknown (settings unreadable)";
  report +=
      "Product: " + (settings.productName.empty() ? unknown : Printable(settings.productName));
  report += "\nCrash: " + Printable(facts.description);
  report += "\nProcess: " + std::to_string(facts.processId);
  report += "\nTime: " + UtcTime(facts.time);
  report +=
      "\nForum: " + (settings.forumAddress.empty() ? unknown : Printable(settings.forumAddress));
  report += '\n';
  return report + facts.details;
}

std::string Utf8Text(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::optional<fs::path> ExistingFolder(const std::string& directory) {
  if (directory.empty()) return std::nullopt;
  const fs::path folder = Utf8Path(directory);
  std::error_code error;
  if (!folder.is_absolute() || !fs::is_directory(folder, error)) return std::nullopt;
  return folder;
}

std::string CrashFileName(std::uint32_t processId, const char* extension) {
  return "crash-" + std::to_string(processId) + extension;
}

std::optional<fs::path> WriteCrashReportFile(const fs::path& folder, std::uint32_t processId,
                                             const std::string& report) {
  const fs::path file = folder / CrashFileName(processId, ".txt");
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << report;
  out.close();
  if (!out) return std::nullopt;
  return file;
}

}  // namespace crashhandler
