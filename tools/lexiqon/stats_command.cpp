#include <algorithm>
#include <cstdio>
#include <ostream>
#include <sstream>

#include "commands.h"
#include "dictionary_files.h"
#include "input_file.h"
#include "input_kind.h"
#include "tessvik/compiled_file.h"
#include "tessvik/dictionary.h"
#include "text_output.h"

namespace lexiqon {
namespace {

struct Stats {
  std::string format = "text";
  std::string byteOrder;  // empty where the format has none
  std::size_t entries = 0;
  bool blockMode = false;
  bool valid = true;
  std::uint32_t bucketsUsed = 0;
  std::uint32_t longest = 0;
  double mean = 0;  // over the buckets in use
};

std::string TextFormat(const std::string& bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return "UTF-16LE text";
  if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') return "UTF-16BE text";
  return "8-bit text";
}

// A PO file is measured as compile would write it.
Stats Measure(InputFile& file, const std::string& format, int pluralForm, Reporter& report) {
  Stats stats;
  const std::string head = file.Head(64);
  const InputKind kind = DetectKind(file, format);
  if (const auto compiled = ReadCompiledFormat(head)) {
    stats.format = std::to_string(compiled->major) + "." + std::to_string(compiled->minor);
    if (compiled->major == 2) {
      stats.byteOrder = compiled->bigEndian ? "big-endian" : "little-endian";
    }
  } else if (IsPoKind(kind)) {
    stats.format =
        kind == InputKind::kPot ? "PO template, as compiled to 2.1" : "PO, as compiled to 2.1";
  } else {
    stats.format = TextFormat(head);
  }
  tessvik::Dictionary dictionary;
  LoadFile(dictionary, file, format, pluralForm, report);
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

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      out += escape;
    } else {
      out += c;
    }
  }
  // JSON is UTF-8: a path's broken bytes become U+FFFD.
  return ToUtf8(FromUtf8(out)) + "\"";
}

void PrintJson(const std::string& path, const Stats& stats, std::ostream& out) {
  out << "{\"path\": " << JsonString(path) << ", \"format\": " << JsonString(stats.format)
      << ", \"byte_order\": " << (stats.byteOrder.empty() ? "null" : JsonString(stats.byteOrder))
      << ", \"entries\": " << stats.entries << ", \"mode\": \""
      << (stats.blockMode ? "block store" : "entry table")
      << "\", \"valid\": " << (stats.valid ? "true" : "false")
      << ", \"buckets_used\": " << stats.bucketsUsed << ", \"longest_chain\": " << stats.longest
      << ", \"mean_chain\": " << Fixed(stats.mean) << "}\n";
}

void PrintText(const std::string& path, const Stats& stats, std::ostream& out) {
  out << path << ":\n  format: " << stats.format;
  if (!stats.byteOrder.empty()) out << ", " << stats.byteOrder;
  out << "\n  entries: " << stats.entries
      << "\n  mode: " << (stats.blockMode ? "block store" : "entry table")
      << "\n  valid: " << (stats.valid ? "yes" : "no") << "\n  buckets used: " << stats.bucketsUsed
      << "\n  longest chain: " << stats.longest << "\n  mean chain: " << Fixed(stats.mean) << '\n';
}

}  // namespace

int RunStats(const StatsOptions& options, Context& context) {
  for (const std::string& path : options.files) {
    InputFile file(path);
    const Stats stats = Measure(file, options.inputFormat, options.pluralForm, context.report);
    if (options.json) {
      PrintJson(path, stats, context.out);
    } else {
      PrintText(path, stats, context.out);
    }
  }
  return 0;
}

}  // namespace lexiqon
