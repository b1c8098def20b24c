#pragma once

#include <boost/filesystem/exception.hpp>
#include <functional>
#include <string>
#include <utility>

#include "prefetch/worker/cancel_flag.h"

namespace SpeedLauncher {

enum class WalkResult { kDone, kCancelled };

using FileVisitor = std::function<void(const std::string& path)>;

// Calls visit with the path of every regular file below directory (links
// followed), depth-first, each directory in listing order; directories
// reached through a link are not entered. A path is the directory's text
// as given, then each name, preceded by the platform's separator unless the
// text already ends in one (or in a drive colon). cancelled is polled
// before each entry. A system error on the way throws ExpansionError with
// the system's number; files visited before it stay visited. linkedFolder,
// when given, hears of each folder reached through a link, which is not
// entered.
WalkResult WalkRegularFiles(const std::string& directory, const CancelCheck& cancelled,
                            const FileVisitor& visit, const FileVisitor& linkedFolder = {});

// A file-system error of the expansion, with the path as the expansion
// wrote it: the file system library's own path would carry it through the
// ANSI code page on Windows.
class ExpansionError : public boost::filesystem::filesystem_error {
 public:
  ExpansionError(const char* what, std::string path, boost::system::error_code code)
      : boost::filesystem::filesystem_error(what, code), path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Throws ExpansionError(what, path) with the system's error number, unless
// it is 0.
void ThrowIfFailed(int error, const char* what, const std::string& path);

}  // namespace SpeedLauncher
