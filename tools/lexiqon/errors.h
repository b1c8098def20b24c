#pragma once

#include <stdexcept>
#include <string>

namespace lexiqon {

// A command line the tool cannot run: one line and a hint, exit status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file that cannot be read or written, with the path the user gave and
// the system's reason: exit status 2.
class FileError : public std::runtime_error {
 public:
  FileError(const std::string& path, const std::string& reason)
      : std::runtime_error(path + ": error: " + reason) {}
};

}  // namespace lexiqon
