#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "test_support/child_process.h"
#include "test_support/scratch_folder.h"

namespace testing_support {

// A private copy of the installed tree with a home, runtime and data folders
// of its own, removed at the end of the test.
class Installation {
 public:
  Installation();
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  const std::filesystem::path& Dir() const { return dir_; }
  const std::filesystem::path& Root() const { return root_; }
  // Whether the launcher left a crash handler registered in the registry.
  bool RegistryValueLeft() const;
  std::map<std::string, std::string>& Environment() { return environment_; }

  ChildResult Launch(const std::vector<std::string>& arguments = {}) const;

 private:
  ScratchFolder scratch_;
  std::filesystem::path root_;
  std::filesystem::path dir_;
  std::map<std::string, std::string> environment_;
};

// From the environment that ctest sets.
std::filesystem::path InstalledTree();
std::filesystem::path TestArtifact(const char* variable);

}  // namespace testing_support
