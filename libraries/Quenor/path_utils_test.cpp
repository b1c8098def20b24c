#include <gtest/gtest.h>

#include "Quenor/Quenor.h"
#include "test_support/scratch_folder.h"

namespace {

using Quenor::PathUtils;

TEST(PathUtilsTest, TrailingSlashAndDirectoryPart) {
  EXPECT_EQ(PathUtils::GetPathSeparator(), UTF16String(u"/"));
  EXPECT_EQ(PathUtils::AddTrailingSlash(u"/opt"), UTF16String(u"/opt/"));
  EXPECT_EQ(PathUtils::AddTrailingSlash(u"/opt/"), UTF16String(u"/opt/"));
  EXPECT_EQ(PathUtils::AddTrailingSlash(u""), UTF16String(u"/"));
  EXPECT_EQ(PathUtils::GetFullDirectoryPart(u"/opt/app/f.txt"), UTF16String(u"/opt/app"));
  EXPECT_EQ(PathUtils::GetFullDirectoryPart(u"/opt//f.txt"), UTF16String(u"/opt"));
  EXPECT_EQ(PathUtils::GetFullDirectoryPart(u"/f.txt"), UTF16String(u"/"));
  EXPECT_EQ(PathUtils::GetFullDirectoryPart(u"f.txt"), UTF16String());
}

TEST(PathUtilsTest, ExistsOnDiskCountsDirectoriesOnlyWhenAsked) {
  const testing_support::ScratchFolder scratch("path-utils-test");
  const auto folder = scratch.Dir().u16string();
  const UTF16String dir(folder.begin(), folder.end());
  EXPECT_FALSE(PathUtils::ExistsOnDisk(dir, false));
  EXPECT_TRUE(PathUtils::ExistsOnDisk(dir, true));
  EXPECT_FALSE(PathUtils::ExistsOnDisk(u"", true));
  EXPECT_FALSE(PathUtils::ExistsOnDisk(dir + u"/no-such-file-here", true));
  // Names outside ASCII reach the file system intact; a file is no folder.
  scratch.Write("caf\xC3\xA9.dat");
  EXPECT_TRUE(PathUtils::ExistsOnDisk(dir + u"/caf\u00E9.dat", false));
  EXPECT_FALSE(PathUtils::ExistsOnDisk(dir + u"/caf\u00E9.dat/inside", true));
}

TEST(QuenorTest, LanguageStringLooksLikeAFolderNameAndModuleIsFilled) {
  const UTF16String language = Quenor::GetLanguageString();
  ASSERT_FALSE(language.empty());
  EXPECT_EQ(language.find(u'/'), UTF16String::npos);
  boost::shared_ptr<Quenor::Module> holder;
  int marker = 0;
  Quenor::Module::Create(&marker, holder);
  ASSERT_TRUE(holder);
  EXPECT_EQ(holder->Instance(), &marker);
}

}  // namespace
