// speedlauncher: expands, checks and warms the prefetch lists of an
// installation, as the launcher lying in that installation would.
#include <iostream>

#include "prefetch/locations/standard_locations.h"
#include "tools/speedlauncher/commands.h"
#include "tools/speedlauncher/options.h"

int main(int argc, char** argv) {
  using namespace speedlauncher;
  Options options;
  try {
    options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError& error) {
    std::cerr << "speedlauncher: " << error.what() << '\n' << kUsage;
    return 2;
  }
  if (options.directory.empty()) options.directory = SpeedLauncher::ExecutableDirectory();
  if (options.command == "expand") return RunExpand(options, std::cout, std::cerr);
  if (options.command == "check") return RunCheck(options, std::cout, std::cerr);
  return RunWarm(options, std::cout, std::cerr);
}
