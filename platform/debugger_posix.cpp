#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/debugger.h"

namespace platform {

bool IsDebuggerPresent() {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string key = "TracerPid:";
  while (std::getline(status, line)) {
    if (line.compare(0, key.size(), key) != 0) continue;
    return std::strtol(line.c_str() + key.size(), nullptr, 10) != 0;
  }
  return false;
}

void DebugBreak() { std::raise(SIGTRAP); }

}  // namespace platform
