#include "test_support/scratch_folder.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& prefix) {
  std::string name = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("cannot create " + name);
  dir_ = name;
  // Readable by every user, so that tests which drop their privileges still
  // reach what they were given.
  fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

std::string ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
  const fs::path path = dir_ / name;
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
  return path.string();
}

std::string ScratchFolder::Directory(const std::string& name) const {
  fs::create_directories(dir_ / name);
  return Path(name);
}

std::string ScratchFolder::Read(const std::string& name) const {
  std::ifstream in(dir_ / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace testing_support
