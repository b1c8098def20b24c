#include <chrono>
#include <ostream>
#include <sstream>

#include "prefetch/worker/file_reader.h"
#include "prefetch/worker/list_reader.h"
#include "prefetch/worker/prefetch_worker.h"
#include "tools/speedlauncher/commands.h"
#include "tools/speedlauncher/list_loading.h"

namespace speedlauncher {
namespace {

struct WarmTotals {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
};

void PrintProgress(std::ostream& errors, const WarmTotals& totals) {
  errors << "\rread " << totals.files << " files, " << totals.bytes / (1024 * 1024) << " MiB"
         << std::flush;
}

}  // namespace

int RunWarm(const Options& options, std::ostream& out, std::ostream& errors) {
  SpeedLauncher::ApplicationLists lists;
  if (!LoadListsFor(options, lists, errors)) return 1;
  const SpeedLauncher::PrefetchList* list = SpeedLauncher::ListReadInMode(lists, options.mode);
  if (list == nullptr) {
    errors << "speedlauncher: mode " << options.mode << " reads no list\n";
    return 1;
  }
  WarmTotals totals;
  std::ostringstream discarded;  // the launcher's "Reading :" lines
  SpeedLauncher::ReadBufferSource buffers;
  const auto started = std::chrono::steady_clock::now();
  SpeedLauncher::ReadForegroundItemsWith(
      *list, [] { return false; },
      [&](const std::string& path) {
        const auto report = SpeedLauncher::ReadWholeFile(
            path, buffers, [] { return false; }, discarded, errors);
        discarded.str({});
        if (!report.opened) return;
        ++totals.files;
        totals.bytes += report.bytes;
        if (options.progress) PrintProgress(errors, totals);
      });
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (options.progress) errors << '\n';
  const double mebibytes = static_cast<double>(totals.bytes) / (1024.0 * 1024.0);
  out << "files " << totals.files << ", bytes " << totals.bytes << ", seconds " << seconds
      << ", throughput " << (seconds > 0 ? mebibytes / seconds : 0.0) << " MiB/s\n";
  return 0;
}

}  // namespace speedlauncher
