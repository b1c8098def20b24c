// speedlauncher: expands, checks, warms and measures the prefetch lists of
// an installation, as the launcher lying in that installation would, and
// records new ones.
#include <iostream>

#include "commands.h"
#include "options.h"
#include "platform/path_separator.h"
#include "platform/tool_io.h"
#include "prefetch/locations/standard_locations.h"
#include "report_text.h"

namespace {

// A list named directly lies where its launcher would. The folder is cut
// from the text as typed: a path object would carry it through the ANSI
// code page on Windows.
std::string DefaultDirectory(const speedlauncher::Options& options) {
  if (options.listFile.empty()) return SpeedLauncher::ExecutableDirectory();
  const std::string& file = options.listFile;
  const auto separator = [&file](std::size_t end) {
    return platform::IsPathSeparator(static_cast<unsigned char>(file[end - 1]));
  };
  std::size_t end = file.size();
  while (end > 0 && !separator(end)) --end;
  while (end > 1 && separator(end)) --end;  // the root's own separator stays
  return end == 0 ? "." : file.substr(0, end);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace speedlauncher;
  std::ios::sync_with_stdio(false);
  const platform::ToolStreams streams;
  const std::vector<std::string> arguments = platform::ProgramArguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  const ParsedCommandLine parsed =
      ParseCommandLine(static_cast<int>(pointers.size()), pointers.data(), std::cout, std::cerr);
  if (!parsed.options) return parsed.exitStatus;
  Options options = *parsed.options;
  if (options.directory.empty()) options.directory = DefaultDirectory(options);
  using Command = int (*)(const Options&, std::ostream&, std::ostream&);
  const std::pair<const char*, Command> commands[] = {
      {"expand", RunExpand},     {"check", RunCheck}, {"warm", RunWarm},
      {"resident", RunResident}, {"evict", RunEvict}, {"record", RunRecord},
  };
  for (const auto& [name, run] : commands) {
    if (options.command == name) {
      return CheckedOutput(run(options, std::cout, std::cerr), std::cout, std::cerr);
    }
  }
  return 2;
}
