// The core initializer against the fake platform layer.
#include "vantil_initializer.h"

#include <Vexmo/Vexmo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/special_folders.h"
#include "test_support/platform_fake.h"
#include "test_support/scratch_folder.h"
#include "vantilcore/config.h"

namespace Startup {
namespace {

namespace fs = std::filesystem;
namespace fake = platform::fake;

UTF16String Localized(const char* text) {
  UTF16String result;
  return vantilcore::config::Localizer::Get()->GetLocalizedString(result, text);
}

class VantilInitializerTest : public testing::Test {
 protected:
  void SetUp() override {
    region_->languageTag = u"de_DE";
    Vexmo::Initialize(0, "Pellicor", "19.0", "", "", false);
    folders_->folders[platform::kCsidlCommonAppData] = root_.u16string();
  }

  testing_support::ScratchFolder scratch_;
  const fs::path root_ = scratch_.Dir();
  fake::Scoped<fake::Region> region_;
  fake::Scoped<fake::SpecialFolders> folders_;
  fake::Scoped<fake::Ole> ole_;
  fake::Scoped<fake::Debugger> debugger_;
};

TEST_F(VantilInitializerTest, InstallsFromThePerMachineFolderAndWithdrawsEverything) {
  const fs::path dictionaries =
      root_ / "Harlund" / "Pellicor" / "19.0" / "locale" / "de_DE" / "Dictionaries";
  fs::create_directories(dictionaries);
  std::ofstream(dictionaries / "lexdictionary.dat") << "\"$$$/Machine/Entry=gefunden\"\n";
  {
    VantilInitializer initializer;
    ASSERT_NE(vantilcore::config::Localizer::Get(), nullptr);
    EXPECT_EQ(Localized("$$$/Machine/Entry=missing"), u"gefunden");
    EXPECT_EQ(Localized("$$$/Frontend/FEAppStartupErrorTitle=Harlund Pellicor Startup Error"),
              u"Harlund Pellicor Startup Error");
    EXPECT_EQ(ole_->initializeCalls, 1);
    EXPECT_EQ(folders_->created, std::vector<int>{platform::kCsidlCommonAppData});
  }
  EXPECT_EQ(vantilcore::config::Localizer::Get(), nullptr);
  EXPECT_EQ(ole_->uninitializeCalls, 1);
}

TEST_F(VantilInitializerTest, FailedOleInitializationStopsNothing) {
  ole_->result = static_cast<platform::HResult>(0x80010106);  // changed mode
  testing::internal::CaptureStderr();
  {
    VantilInitializer initializer;
    EXPECT_NE(vantilcore::config::Localizer::Get(), nullptr);
  }
  const std::string offered = testing::internal::GetCapturedStderr();
  EXPECT_NE(offered.find("SUCCEEDED(oleInitializeResult)"), std::string::npos) << offered;
  EXPECT_EQ(ole_->uninitializeCalls, 1);
  EXPECT_EQ(debugger_->breaks, 0);
}

}  // namespace
}  // namespace Startup
