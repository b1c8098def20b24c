#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace speedlauncher {

// A command line the tool cannot run: usage text and exit status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Options {
  std::string command;     // "expand", "check" or "warm"
  std::uint32_t mode = 5;  // the launcher's own mode
  std::string directory;   // where the launcher is taken to lie
  bool progress = false;   // warm: a progress line on standard error
};

// `words` without the program name. An absent --dir is left empty.
Options ParseOptions(const std::vector<std::string>& words);

extern const char* const kUsage;

}  // namespace speedlauncher
