#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/special_folders.h"
#include "test_support/scratch_folder.h"

namespace platform {
namespace {

std::u16string Folder(int csidl, bool create = false) {
  char16_t path[kMaxPath] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, csidl, create)) return u"(failed)";
  return path;
}

TEST(SpecialFoldersPosixTest, DefaultsAndOverrides) {
  unsetenv("XDG_DATA_DIRS");
  unsetenv("XDG_DATA_HOME");
  unsetenv("XDG_STATE_HOME");
  unsetenv("CommonProgramFiles");
  setenv("HOME", "/home/editor", 1);
  EXPECT_EQ(Folder(kCsidlCommonAppData), u"/usr/local/share");
  EXPECT_EQ(Folder(kCsidlAppData), u"/home/editor/.local/share");
  EXPECT_EQ(Folder(kCsidlLocalAppData), u"/home/editor/.local/state");
  EXPECT_EQ(Folder(kCsidlProgramFilesCommon), u"/usr/local/lib");
  EXPECT_EQ(Folder(0x05), u"(failed)");
  setenv("XDG_DATA_DIRS", "/opt/share:/usr/share", 1);
  EXPECT_EQ(Folder(kCsidlCommonAppData), u"/opt/share");
  // Relative base directories are ignored.
  setenv("XDG_DATA_HOME", "rel/share", 1);
  setenv("XDG_DATA_DIRS", "share:/usr/share", 1);
  setenv("XDG_STATE_HOME", "state", 1);
  EXPECT_EQ(Folder(kCsidlAppData), u"/home/editor/.local/share");
  EXPECT_EQ(Folder(kCsidlLocalAppData), u"/home/editor/.local/state");
  setenv("XDG_STATE_HOME", "/var/state/editor", 1);
  EXPECT_EQ(Folder(kCsidlLocalAppData), u"/var/state/editor");
  unsetenv("XDG_STATE_HOME");
  EXPECT_EQ(Folder(kCsidlCommonAppData), u"/usr/local/share");
}

TEST(SpecialFoldersPosixTest, AppDataIsCreatedOnRequest) {
  const testing_support::ScratchFolder root("special-folders-test");
  const std::string home = root.Path("a/b");
  setenv("XDG_DATA_HOME", home.c_str(), 1);
  EXPECT_EQ(Folder(kCsidlAppData, true), std::u16string(home.begin(), home.end()));
  EXPECT_TRUE(std::filesystem::is_directory(home));
}

TEST(SpecialFoldersPosixTest, ItemListGivesThePathAndIsFreedByTheAllocator) {
  setenv("CommonProgramFiles", "/opt/common", 1);
  ItemIdList* list = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, kCsidlProgramFilesCommon, &list), kSOk);
  char16_t path[1024] = {};
  EXPECT_TRUE(SHGetPathFromIDListW(list, path));
  EXPECT_EQ(std::u16string(path), u"/opt/common");
  ShellMalloc* malloc = nullptr;
  ASSERT_EQ(SHGetMalloc(&malloc), kSOk);
  malloc->Free(list);
  malloc->Release();
}

}  // namespace
}  // namespace platform
