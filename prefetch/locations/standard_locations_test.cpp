#include "prefetch/locations/standard_locations.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/special_folders.h"
#include "test_support/platform_fake.h"

namespace SpeedLauncher {
namespace {

class StandardLocationsTest : public ::testing::Test {
 protected:
  void SetCommonFolder(const std::u16string& folder) {
    folders_->folders[platform::kCsidlProgramFilesCommon] = folder;
  }

  platform::fake::Scoped<platform::fake::Modules> modules_;
  platform::fake::Scoped<platform::fake::SpecialFolders> folders_;
};

TEST_F(StandardLocationsTest, ExecutableDirectoryUsesSlashesAndDropsTheName) {
  modules_->executablePath = u"C:\\Program Files\\P\u00e9llicor\\Pellicor.exe";
  EXPECT_EQ(ExecutableDirectory(), "C:/Program Files/P\xc3\xa9llicor");
  modules_->executablePath = u"D:\\Pellicor.exe";
  EXPECT_EQ(ExecutableDirectory(), "D:");
  modules_->executablePath = u"Pellicor.exe";
  EXPECT_EQ(ExecutableDirectory(), "");
}

TEST_F(StandardLocationsTest, LongExecutablePathIsReadWhole) {
  const std::u16string deep = u"/" + std::u16string(600, u'd');
  modules_->executablePath = deep + u"/Pellicor";
  EXPECT_EQ(ExecutableDirectory(), "/" + std::string(600, 'd'));
}

TEST_F(StandardLocationsTest, FoldersKeepWhatTheSystemWroteAndAddFixedTails) {
  SetCommonFolder(u"C:\\Common Files\\");
  EXPECT_EQ(CommonFilesFolder(), "C:\\Common Files\\");
  EXPECT_EQ(FileFormatPlugInsFolder(),
            "C:\\Common Files\\/Harlund/Plug-Ins/Orvane 19/File Formats");
  EXPECT_EQ(RokapodFolder(), "C:\\Common Files\\/Harlund/Orvane/Yoncel/19");
  EXPECT_EQ(CommonFontsFolder(), "C:\\Common Files\\/Harlund/Fonts/Zolt19");
  EXPECT_EQ(folders_->itemListsAlive, 0);
}

TEST_F(StandardLocationsTest, MissingCommonFolderLeavesTailsAndAnEmptyFontsFolder) {
  EXPECT_EQ(CommonFilesFolder(), "");
  EXPECT_EQ(FileFormatPlugInsFolder(), "/Harlund/Plug-Ins/Orvane 19/File Formats");
  EXPECT_EQ(RokapodFolder(), "/Harlund/Orvane/Yoncel/19");
  EXPECT_EQ(CommonFontsFolder(), "");
  EXPECT_EQ(folders_->itemListsAlive, 0);
}

}  // namespace
}  // namespace SpeedLauncher
