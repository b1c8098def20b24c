#include "test_support/temp_tree.h"

#include <boost/filesystem/fstream.hpp>

namespace SpeedLauncher::testing {

namespace fs = boost::filesystem;

TempTree::TempTree()
    : root_(fs::temp_directory_path() / fs::unique_path("prefetch-test-%%%%-%%%%-%%%%")) {
  fs::create_directories(root_);
}

TempTree::~TempTree() {
  boost::system::error_code ignored;
  fs::remove_all(root_, ignored);
}

std::string TempTree::File(const std::string& relative, const std::string& content) const {
  const fs::path path = root_ / relative;
  fs::create_directories(path.parent_path());
  fs::ofstream(path, std::ios::binary) << content;
  return path.string();
}

std::string TempTree::Directory(const std::string& relative) const {
  fs::create_directories(root_ / relative);
  return (root_ / relative).string();
}

}  // namespace SpeedLauncher::testing
