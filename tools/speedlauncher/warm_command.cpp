#include <chrono>
#include <cstdio>
#include <ostream>
#include <sstream>
#include <system_error>
#include <unordered_set>

#include "commands.h"
#include "list_loading.h"
#include "path_reason.h"
#include "platform/directory_listing.h"
#include "platform/file_identity.h"
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
  std::uint64_t filesNotOpened = 0;  // named, but missing, not a file, or not readable
  int walkErrors = 0;
  std::uint64_t bytes = 0;
  std::uint64_t uniqueBytes = 0;  // each file counted once, under whatever name
  double seconds = 0;

  double BytesPerSecond() const { return seconds > 0 ? static_cast<double>(bytes) / seconds : 0; }
};

// 0.043 ms, 4.3 ms, 430 ms, 1.25 s.
std::string Duration(double seconds) {
  char text[32];
  if (seconds < 1) {
    std::snprintf(text, sizeof text, "%.3g ms", seconds * 1000);
  } else {
    std::snprintf(text, sizeof text, "%.2f s", seconds);
  }
  return text;
}

// One line on a terminal, by bytes, so that it moves inside a large file
// too; redrawn at most ten times a second.
class Progress {
 public:
  Progress(std::ostream& errors, const SpeedLauncher::PrefetchList& list)
      : errors_(errors), shown_(platform::StandardErrorIsTerminal()) {
    if (!shown_) return;  // the sizes cost a status call per file
    for (const SpeedLauncher::PrefetchItem& item : list) {
      if (!item.isForeground) continue;
      ++files_;
      std::uint64_t size = 0;
      int error = 0;
      if (platform::SizeOfPath(item.path, size, error)) total_ += size;
    }
  }

  // Before each chunk of a file, and once after it.
  void Update(std::size_t filesDone, std::uint64_t bytesDone) {
    if (!shown_) return;
    const Clock::time_point now = Clock::now();
    if (now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    Draw(filesDone, bytesDone);
  }
  void End(std::size_t filesDone, std::uint64_t bytesDone) {
    if (!shown_) return;
    Draw(filesDone, bytesDone);
    errors_ << '\n';
  }

 private:
  void Draw(std::size_t filesDone, std::uint64_t bytesDone) {
    const std::uint64_t percent =
        total_ == 0 ? 100 : std::min<std::uint64_t>(bytesDone * 100 / total_, 100);
    errors_ << '\r' << percent << "% " << HumanSize(bytesDone) << " of " << HumanSize(total_)
            << ", " << filesDone << '/' << files_ << " files   " << std::flush;
  }

  std::ostream& errors_;
  bool shown_;
  std::size_t files_ = 0;
  std::uint64_t total_ = 0;
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
      << "elapsed:           " << Duration(summary.seconds) << '\n'
      << "throughput:        " << HumanSize(static_cast<std::uint64_t>(summary.BytesPerSecond()))
      << "/s\n";
}

}  // namespace

int RunWarm(const Options& options, std::ostream& out, std::ostream& errors) {
  WarmSummary summary;
  SpeedLauncher::ApplicationLists lists;
  ExpansionReport report;
  if (!LoadListsFor(options, lists, errors, &report)) return 1;
  summary.walkErrors = report.walkErrors;
  const SpeedLauncher::PrefetchList* list = SpeedLauncher::ListReadInMode(lists, options.mode);
  if (list == nullptr) {
    Report(errors, ListFileFor(options), 0, Severity::kError,
           "mode " + std::to_string(options.mode) + " reads no list");
    return 1;
  }
  // The launcher passes over what is not there in silence; here it counts.
  for (const std::string& path : report.passedOver) {
    ++summary.filesNotOpened;
    Report(errors, Printable(path), 0, Severity::kWarning, "not read: " + WhyNotAFile(path));
  }
  Progress progress(errors, *list);
  std::size_t done = 0;
  std::unordered_set<platform::FileIdentity, platform::FileIdentityHash> seen;
  std::ostringstream discarded;  // the launcher's "Reading :" lines
  SpeedLauncher::ReadBufferSource buffers;
  const Clock::time_point started = Clock::now();
  SpeedLauncher::ReadForegroundItemsWith(
      *list, [] { return false; },
      [&](const std::string& path) {
        std::uint64_t chunks = 0;  // polled before each chunk: the reader's progress
        const SpeedLauncher::ReadReport read = SpeedLauncher::ReadWholeFile(
            path, buffers,
            [&] {
              if (chunks > 0)
                progress.Update(done, summary.bytes + chunks * SpeedLauncher::kReadBufferSize);
              ++chunks;
              return false;
            },
            discarded, errors);
        discarded.str({});
        ++done;
        if (!read.opened) {
          ++summary.filesNotOpened;
          Report(errors, Printable(path), 0, Severity::kWarning,
                 "cannot open: " + std::generic_category().message(read.openError));
          return;
        }
        ++summary.filesRead;
        summary.bytes += read.bytes;
        progress.Update(done, summary.bytes);
        platform::FileIdentity identity;
        int error = 0;
        if (!platform::IdentifyFile(path, identity, error) || seen.insert(identity).second) {
          summary.uniqueBytes += read.bytes;
        }
      });
  summary.seconds = std::chrono::duration<double>(Clock::now() - started).count();
  progress.End(done, summary.bytes);
  PrintSummary(summary, options.json, out);
  if (summary.walkErrors > 0) return 1;
  return options.strict && summary.filesNotOpened > 0 ? 1 : 0;
}

}  // namespace speedlauncher
