#include "tools/speedlauncher/options.h"

#include <charconv>

namespace speedlauncher {
namespace {

std::uint32_t ParseMode(const std::string& text) {
  std::uint32_t mode = 0;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, mode);
  if (error != std::errc() || at != end || text.empty()) {
    throw UsageError("--mode wants a number from 0 to 4294967295, not \"" + text + "\"");
  }
  return mode;
}

}  // namespace

const char* const kUsage =
    "usage: speedlauncher expand|check|warm [--mode N] [--dir DIR] [--progress]\n"
    "  expand  print every item of every list: list name, F or B, path\n"
    "  check   report problems of the list file with line numbers (exit 1 when any)\n"
    "  warm    read the mode's foreground items and print a summary\n"
    "  --mode N   launch mode (default 5); --dir DIR   the launcher's folder (default: "
    "beside this tool)\n";

Options ParseOptions(const std::vector<std::string>& words) {
  if (words.empty()) throw UsageError("no command given");
  Options options;
  options.command = words[0];
  if (options.command != "expand" && options.command != "check" && options.command != "warm") {
    throw UsageError("unknown command \"" + options.command + "\"");
  }
  for (std::size_t at = 1; at < words.size(); ++at) {
    const std::string& word = words[at];
    if (word == "--progress") {
      options.progress = true;
      continue;
    }
    if (word != "--mode" && word != "--dir") throw UsageError("unknown option \"" + word + "\"");
    if (at + 1 == words.size()) throw UsageError(word + " wants a value");
    const std::string& value = words[++at];
    if (word == "--mode") {
      options.mode = ParseMode(value);
    } else {
      options.directory = value;
    }
  }
  return options;
}

}  // namespace speedlauncher
