#pragma once

#include <string>
#include <vector>

namespace speedlauncher {

struct Finding {
  int line = 0;  // 0 when the problem has no line (the file itself)
  std::string message;
};

// Everything about a list file that makes the launcher silently ignore part
// of it: sections and entries it passes over, unknown keywords and
// attributes, bad patterns, paths that are not there and patterns that match
// nothing. Relative entries are based on `directory`.
std::vector<Finding> CheckListFile(const std::string& path, const std::string& directory);

}  // namespace speedlauncher
