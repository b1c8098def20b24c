#include "test_support/installation.h"

#include <cstdlib>
#include <stdexcept>

namespace testing_support {

namespace fs = std::filesystem;

fs::path TestArtifact(const char* variable) {
  const char* value = std::getenv(variable);
  if (value == nullptr || *value == '\0') {
    throw std::runtime_error(std::string(variable) + " is not set; run the test through ctest");
  }
  return value;
}

fs::path InstalledTree() { return TestArtifact("PELLICOR_INSTALL_DIR"); }

Installation::Installation()
    : scratch_("pellicor-e2e"), root_(scratch_.Dir()), dir_(root_ / "Pellicor") {
  fs::copy(InstalledTree(), dir_, fs::copy_options::recursive);
  for (const char* sub : {"home", "run", "data-home", "share"}) fs::create_directories(root_ / sub);
  fs::permissions(root_ / "run", fs::perms::owner_all, fs::perm_options::replace);

  environment_ = {
      {"PATH", "/usr/bin:/bin"},
      {"HOME", (root_ / "home").string()},
      {"XDG_RUNTIME_DIR", (root_ / "run").string()},
      {"XDG_DATA_HOME", (root_ / "data-home").string()},
      {"XDG_DATA_DIRS", (root_ / "share").string()},
      {"LANG", "en_US.UTF-8"},
  };
  // Sanitizer settings of the test run reach the launcher too.
  for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS"}) {
    if (const char* value = std::getenv(name)) environment_[name] = value;
  }
}

bool Installation::RegistryValueLeft() const {
  const fs::path key = root_ / "run" / "pellicor-registry" / "HKEY_CURRENT_USER" / "SOFTWARE" /
                       "Microsoft" / "Windows" / "Windows Error Reporting" /
                       "RuntimeExceptionHelperModules";
  return fs::exists(key) && !fs::is_empty(key);
}

ChildResult Installation::Launch(const std::vector<std::string>& arguments) const {
  return RunChild(dir_ / "Pellicor", arguments, environment_);
}

}  // namespace testing_support
