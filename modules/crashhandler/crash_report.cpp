#include "crash_report.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
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
  report +=
      "\nApplication: " + (facts.application.empty() ? "unknown" : Printable(facts.application));
  report +=
      "\nCrash handler: vantilcrashhandler " CRASHHANDLER_VERSION " (build " CRASHHANDLER_BUILD ")";
  report += "\nCrash: " + Printable(facts.description);
  if (!facts.signature.empty()) report += "\nSignature: " + facts.signature;
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

std::string CrashFileStem(std::uint32_t processId, std::time_t time) {
  using namespace std::chrono;
  const sys_seconds instant{seconds{time}};
  const sys_days day = floor<days>(instant);
  const year_month_day date{day};
  const hh_mm_ss clock{instant - day};
  std::random_device entropy;
  char stem[80];
  std::snprintf(stem, sizeof stem, "crash-%04d%02u%02u-%02lld%02lld%02lld-%u-%08x",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<long long>(clock.hours().count()),
                static_cast<long long>(clock.minutes().count()),
                static_cast<long long>(clock.seconds().count()), processId,
                static_cast<unsigned>(entropy()));
  return stem;
}

std::optional<fs::path> WriteCrashReportFile(const fs::path& folder, const std::string& stem,
                                             const std::string& report, std::string& problem) {
  const fs::path file = folder / (stem + ".txt");
  std::error_code error;
  // Another report never gives way to this one.
  if (fs::exists(file, error)) {
    problem = Utf8Text(file) + ": the name is taken";
    return std::nullopt;
  }
  errno = 0;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  // A report names the user's files, in a log folder others may read too:
  // for the user only, before a byte of it is written.
  if (out)
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace,
                    error);
  out << report;
  out.close();
  if (!out) {
    const int reason = errno;
    problem = Utf8Text(file) + ": " +
              (reason != 0 ? std::generic_category().message(reason) : "cannot be written");
    fs::remove(file, error);
    return std::nullopt;
  }
  return file;
}

}  // namespace crashhandler
