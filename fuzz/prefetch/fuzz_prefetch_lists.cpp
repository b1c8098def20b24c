// Arbitrary list files against a small fixed tree: loading and expanding
// must never crash, whatever the entries name.
#include <boost/filesystem.hpp>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>

#include "prefetch/lists/application_lists.h"
#include "prefetch/lists/prefetch_lists.h"

namespace {

namespace fs = boost::filesystem;

// Created once per process and removed at its exit: a few files, a nested
// folder and a link that loops back to the root.
class FixedTree {
 public:
  FixedTree() : root_(fs::temp_directory_path() / fs::unique_path("fuzz-prefetch-%%%%-%%%%")) {
    fs::create_directories(root_ / "Dictionaries" / "en_US");
    for (const char* name : {"Stoven.dll", "libVexmo.so", "Dictionaries/en_US/lexdictionary.dat"}) {
      std::ofstream((root_ / name).string(), std::ios::binary) << "x";
    }
    boost::system::error_code ignored;
    fs::create_directory_symlink(root_, root_ / "Dictionaries" / "loop", ignored);
  }
  ~FixedTree() {
    boost::system::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  const fs::path& Root() const { return root_; }

 private:
  fs::path root_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FixedTree tree;
  const fs::path& root = tree.Root();
  const fs::path list = root / "SpeedLauncher-pellicor.xml";
  std::ofstream(list.string(), std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  std::ostringstream errors;
  // An entry may name "/" or ".."; the poll bounds any walk to a few
  // thousand directory entries.
  int polls = 0;
  const SpeedLauncher::ExpansionContext context{
      root.string(), [&polls] { return ++polls > 5000; }, &errors, {}};
  SpeedLauncher::ApplicationLists lists;
  SpeedLauncher::LoadListFile(list.string(), lists, context);
  return 0;
}
