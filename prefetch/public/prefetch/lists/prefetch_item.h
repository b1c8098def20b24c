#pragma once

#include <string>
#include <vector>

namespace SpeedLauncher {

struct PrefetchItem {
  std::string path;  // as the expansion built it, separators kept
  bool isForeground = false;
};

using PrefetchList = std::vector<PrefetchItem>;

}  // namespace SpeedLauncher
