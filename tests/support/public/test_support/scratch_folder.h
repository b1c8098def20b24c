#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// A folder of its own below the system's temporary folder, removed with all
// it holds when the object goes.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix = "pellicor-test");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Dir() const { return dir_; }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // Writes the bytes to the file, its folders made first; returns its path.
  // The default content is for files whose bytes do not matter.
  std::string Write(const std::string& name, const std::string& bytes = "x") const;
  // Makes the folder and those above it; returns its path.
  std::string Directory(const std::string& name) const;
  // The file's bytes; empty when it cannot be read.
  std::string Read(const std::string& name) const;

 private:
  std::filesystem::path dir_;
};

}  // namespace testing_support
