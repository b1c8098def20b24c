#include <chrono>
#include <cstring>
#include <ostream>
#include <sstream>
#include <system_error>
#include <unordered_set>

#include "commands.h"
#include "list_loading.h"
#include "platform/terminal.h"
#include "prefetch/worker/file_reader.h"
#include "prefetch/worker/list_reader.h"
#include "prefetch/worker/prefetch_worker.h"
#include "report_text.h"

namespace speedlauncher {
namespace {

using Clock = std::chrono::steady_clock;

struct WarmSummary {
  std::uint64_t filesRead = 0;
  std::uint64_t filesNotOpened = 0;
  int walkErrors = 0;
  std::uint64_t bytes = 0;
  std::uint64_t uniqueBytes = 0;  // each path counted once
  double seconds = 0;

  double BytesPerSecond() const { return seconds > 0 ? static_cast<double>(bytes) / seconds : 0; }
};

// One line on a terminal, redrawn at most ten times a second.
class Progress {
 public:
  Progress(std::ostream& errors, std::size_t total)
      : errors_(errors), total_(total), shown_(platform::StandardErrorIsTerminal()) {}

  void Update(std::size_t done, std::uint64_t bytes) {
    if (!shown_) return;
    const Clock::time_point now = Clock::now();
    if (done != total_ && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    errors_ << "\r" << (total_ == 0 ? 100 : done * 100 / total_) << "% " << done << '/' << total_
            << " files, " << HumanSize(bytes) << "   " << std::flush;
  }
  void End() {
    if (shown_) errors_ << '\n';
  }

 private:
  std::ostream& errors_;
  std::size_t total_;
  bool shown_;
  Clock::time_point last_{};
};

void PrintSummary(const WarmSummary& summary, bool json, std::ostream& out) {
  if (json) {
    out << "{\"files_read\": " << summary.filesRead
        << ", \"files_not_opened\": " << summary.filesNotOpened
        << ", \"walk_errors\": " << summary.walkErrors << ", \"bytes\": " << summary.bytes
        << ", \"unique_bytes\": " << summary.uniqueBytes << ", \"seconds\": " << summary.seconds
        << ", \"bytes_per_second\": " << static_cast<std::uint64_t>(summary.BytesPerSecond())
        << "}\n";
    return;
  }
  out << "files read:        " << summary.filesRead << '\n'
      << "could not open:    " << summary.filesNotOpened << '\n'
      << "walk errors:       " << summary.walkErrors << '\n'
      << "bytes read:        " << HumanSize(summary.bytes) << '\n'
      << "unique bytes:      " << HumanSize(summary.uniqueBytes) << '\n'
      << "elapsed:           " << summary.seconds << " s\n"
      << "throughput:        " << HumanSize(static_cast<std::uint64_t>(summary.BytesPerSecond()))
      << "/s\n";
}

}  // namespace

int RunWarm(const Options& options, std::ostream& out, std::ostream& errors) {
  WarmSummary summary;
  SpeedLauncher::ApplicationLists lists;
  if (!LoadListsFor(options, lists, errors, &summary.walkErrors)) return 1;
  const SpeedLauncher::PrefetchList* list = SpeedLauncher::ListReadInMode(lists, options.mode);
  if (list == nullptr) {
    Report(errors, ListFileFor(options), 0, Severity::kError,
           "mode " + std::to_string(options.mode) + " reads no list");
    return 1;
  }
  std::size_t total = 0;
  for (const SpeedLauncher::PrefetchItem& item : *list) total += item.isForeground ? 1 : 0;
  Progress progress(errors, total);
  std::size_t done = 0;
  std::unordered_set<std::string> seen;
  std::ostringstream discarded;  // the launcher's "Reading :" lines
  SpeedLauncher::ReadBufferSource buffers;
  const Clock::time_point started = Clock::now();
  SpeedLauncher::ReadForegroundItemsWith(
      *list, [] { return false; },
      [&](const std::string& path) {
        const SpeedLauncher::ReadReport report = SpeedLauncher::ReadWholeFile(
            path, buffers, [] { return false; }, discarded, errors);
        discarded.str({});
        progress.Update(++done, summary.bytes + report.bytes);
        if (!report.opened) {
          ++summary.filesNotOpened;
          Report(errors, path, 0, Severity::kWarning,
                 "cannot open: " + std::generic_category().message(report.openError));
          return;
        }
        ++summary.filesRead;
        summary.bytes += report.bytes;
        if (seen.insert(path).second) summary.uniqueBytes += report.bytes;
      });
  summary.seconds = std::chrono::duration<double>(Clock::now() - started).count();
  progress.End();
  PrintSummary(summary, options.json, out);
  const bool allRead = summary.filesNotOpened == 0 && summary.walkErrors == 0;
  return options.strict && !allRead ? 1 : 0;
}

}  // namespace speedlauncher
