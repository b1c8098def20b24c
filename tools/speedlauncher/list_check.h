#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "report_text.h"

namespace speedlauncher {

struct Finding {
  int line = 0;  // 0 when the problem has no line (the file itself)
  Severity severity = Severity::kError;
  std::string message;
};

// Everything about a list file that makes the launcher, started in the
// given mode from `directory`, silently ignore or misread part of it:
// sections and entries it passes over, unknown names, keywords and
// attributes, bad or idle patterns, paths that are not there or cannot be
// read, walk errors, files read twice, foreground entries nothing reads.
// Relative entries are based on `directory`. In line order, then the
// findings about the whole file.
std::vector<Finding> CheckListFile(const std::string& path, const std::string& directory,
                                   std::uint32_t mode);

}  // namespace speedlauncher
