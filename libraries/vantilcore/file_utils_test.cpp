#include <gtest/gtest.h>

#include "vantilcore/filesupport.h"
#include "vantilcore/utility.h"

namespace {

using vantilcore::utility::FileUtils;

TEST(FileUtilsTest, ParentPath) {
  UTF16String parent = u"untouched";
  EXPECT_FALSE(FileUtils::GetParentPath(u"", parent));
  EXPECT_FALSE(FileUtils::GetParentPath(u"file.txt", parent));
  EXPECT_EQ(parent, UTF16String(u"untouched"));
  ASSERT_TRUE(FileUtils::GetParentPath(u"/opt/app/file.txt", parent));
  EXPECT_EQ(parent, UTF16String(u"/opt/app"));
  ASSERT_TRUE(FileUtils::GetParentPath(u"/file.txt", parent));
  EXPECT_EQ(parent, UTF16String(u"/"));
}

TEST(FileUtilsTest, BuildPathSpecUsesExactlyOneSeparator) {
  UTF16String result;
  FileUtils::BuildPathSpec(u"/opt/app", u"f.xml", result);
  EXPECT_EQ(result, UTF16String(u"/opt/app/f.xml"));
  FileUtils::BuildPathSpec(u"/opt/app//", u"/f.xml", result);
  EXPECT_EQ(result, UTF16String(u"/opt/app/f.xml"));
  FileUtils::BuildPathSpec(u"/", u"f.xml", result);
  EXPECT_EQ(result, UTF16String(u"/f.xml"));
  FileUtils::BuildPathSpec(u"", u"f.xml", result);
  EXPECT_EQ(result, UTF16String(u"f.xml"));
}

TEST(FileUtilsTest, AppDirIsTheExecutableFolderWithSeparator) {
  const UTF16String module = vantilcore::utility::GetModulePath(nullptr);
  const UTF16String dir = vantilcore::filesupport::Dir::AppDir().FullPath();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), u'/');
  EXPECT_EQ(module.substr(0, dir.size()), dir);
  EXPECT_EQ(module.find(u'/', dir.size()), UTF16String::npos);
}

}  // namespace
