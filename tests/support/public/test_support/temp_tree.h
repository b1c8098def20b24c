#pragma once

#include <boost/filesystem.hpp>
#include <string>

namespace SpeedLauncher::testing {

// A fresh directory below the system's temporary folder, removed with
// everything in it when the object goes.
class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const boost::filesystem::path& Root() const { return root_; }
  // Creates the file (and its directories) below the root; returns its path.
  std::string File(const std::string& relative, const std::string& content = "x") const;
  std::string Directory(const std::string& relative) const;
  std::string Path(const std::string& relative) const { return (root_ / relative).string(); }

 private:
  boost::filesystem::path root_;
};

}  // namespace SpeedLauncher::testing
