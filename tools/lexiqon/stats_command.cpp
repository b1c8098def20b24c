#include <algorithm>
#include <cstdio>
#include <ostream>

#include "arguments.h"
#include "commands.h"
#include "dictionary_files.h"
#include "tessvik/dictionary.h"

namespace lexiqon {
namespace {

struct Stats {
  std::size_t entries = 0;
  bool blockMode = false;
  bool valid = true;
  std::uint32_t bucketsUsed = 0;
  std::uint32_t longest = 0;
  double mean = 0;  // over the buckets in use
};

Stats Measure(const tessvik::Dictionary& dictionary) {
  Stats stats;
  stats.entries = dictionary.Entries().size();
  stats.blockMode = dictionary.InBlockMode();
  stats.valid = dictionary.IsValid();
  std::uint64_t total = 0;
  for (const std::uint32_t length : dictionary.ChainLengths()) {
    if (length == 0) continue;
    ++stats.bucketsUsed;
    total += length;
    stats.longest = std::max(stats.longest, length);
  }
  if (stats.bucketsUsed != 0) stats.mean = static_cast<double>(total) / stats.bucketsUsed;
  return stats;
}

std::string Fixed(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

}  // namespace

int RunStats(const std::vector<std::string>& words, std::ostream& out) {
  const Arguments args(words, {{"--json"}, {}});
  if (args.Operands().empty()) throw UsageError("give at least one FILE");
  tessvik::Dictionary dictionary;
  LoadFiles(dictionary, args.Operands());
  const Stats stats = Measure(dictionary);
  const char* mode = stats.blockMode ? "block store" : "entry table";
  if (args.Flag("--json")) {
    out << "{\"entries\": " << stats.entries << ", \"mode\": \"" << mode
        << "\", \"valid\": " << (stats.valid ? "true" : "false")
        << ", \"buckets_used\": " << stats.bucketsUsed << ", \"longest_chain\": " << stats.longest
        << ", \"mean_chain\": " << Fixed(stats.mean) << "}\n";
    return 0;
  }
  out << "entries: " << stats.entries << "\nmode: " << mode
      << "\nvalid: " << (stats.valid ? "yes" : "no") << "\nbuckets used: " << stats.bucketsUsed
      << "\nlongest chain: " << stats.longest << "\nmean chain: " << Fixed(stats.mean) << '\n';
  return 0;
}

}  // namespace lexiqon
