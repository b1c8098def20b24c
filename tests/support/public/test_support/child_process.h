#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

struct ChildResult {
  int exitStatus = -1;  // low 8 bits of the exit code; -1 when killed
  int signal = 0;       // the signal that ended it, or 0
  std::string out;
  std::string err;
};

// Runs a program with exactly the given environment, its output captured.
ChildResult RunChild(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments,
                     const std::map<std::string, std::string>& environment);

}  // namespace testing_support
