#pragma once

#include <string>
#include <vector>

namespace SpeedLauncher {

// One file to read into the file cache.
struct PrefetchItem {
  std::string path;
  bool isForeground = false;
};

using ApplicationList = std::vector<PrefetchItem>;

}  // namespace SpeedLauncher
