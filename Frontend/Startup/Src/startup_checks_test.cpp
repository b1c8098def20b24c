// The refusals, steered through the fake platform layer.
#include "startup_checks.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "fe_localizer.h"
#include "launcher_entry.h"
#include "test_support/platform_fake.h"
#include "vantilcore/config.h"

namespace Startup {
namespace {

namespace fake = platform::fake;

class StartupChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    vantilcore::config::Localizer::Set(&localizer_, vantilcore::filesupport::Dir());
  }
  void TearDown() override {
    vantilcore::config::Localizer::Set(nullptr, vantilcore::filesupport::Dir());
  }

  FE::Localizer localizer_;
  fake::Scoped<fake::Region> region_;
  fake::Scoped<fake::Processor> processor_;
  fake::Scoped<fake::MessageBoxes> boxes_;
};

TEST_F(StartupChecks, RestrictedRegionsEndTheProcessWithZero) {
  for (const char16_t* code : {u"IR", u"SD", u"CU", u"SY", u"KP"}) {
    region_->geoIso2 = code;
    // The fake tells of each message box on standard error: the refusal
    // ends the process, and only its output comes back.
    EXPECT_EXIT(CheckRegion(), ::testing::ExitedWithCode(0),
                "message box \"Harlund Pellicor\": .*restricted by U\\.S\\.Law");
  }
}

TEST_F(StartupChecks, OtherRegionsPass) {
  for (const char16_t* code : {u"US", u"kp", u"Kp", u"IRN", u"", u" KP"}) {
    region_->geoIso2 = code;
    CheckRegion();
  }
  EXPECT_TRUE(boxes_->shown.empty());
}

TEST_F(StartupChecks, ProcessorWithSsePasses) {
  EXPECT_TRUE(CheckProcessor(nullptr));
  EXPECT_TRUE(boxes_->shown.empty());
}

TEST_F(StartupChecks, ProcessorWithoutSseShowsTheDefaultTexts) {
  processor_->ssePresent = false;
  EXPECT_FALSE(CheckProcessor(nullptr));
  ASSERT_EQ(boxes_->shown.size(), 1u);
  const fake::MessageBoxes::Shown& box = boxes_->shown[0];
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.caption, u"Harlund Pellicor Startup Error");
  EXPECT_EQ(box.text,
            u"Harlund Pellicor cannot run on this computer because the processor does not "
            u"support the SSE instruction set.");
  EXPECT_EQ(box.flags, 0x10u);
}

// The whole start-up sequence without SSE: it tears down and returns -1.
TEST(StartupSequence, WithoutSseTearsDownAndReturnsMinusOne) {
  fake::Scoped<fake::Processor> processor;
  fake::Scoped<fake::Region> region;
  fake::Scoped<fake::MessageBoxes> boxes;
  fake::Scoped<fake::Ole> ole;
  fake::Scoped<fake::ErrorReporting> errorReporting;
  fake::Scoped<fake::Registry> registry;
  fake::Scoped<fake::Modules> modules;
  processor->ssePresent = false;
  region->geoIso2 = u"US";
  EXPECT_EQ(RunStartup(nullptr, nullptr, nullptr, 10), -1);

  EXPECT_EQ(boxes->shown.size(), 1u);
  EXPECT_EQ(vantilcore::config::Localizer::Get(), nullptr);
  EXPECT_EQ(ole->uninitializeCalls, ole->initializeCalls);
  EXPECT_EQ(errorReporting->registrations.size(), 1u);
  EXPECT_EQ(errorReporting->unregistrations.size(), 1u);
  for (const auto& [key, values] : registry->keys) EXPECT_TRUE(values.empty());
  EXPECT_TRUE(modules->loadAttempts.empty());
}

// Refused for its region, a machine without SSE sees only the region message.
TEST(StartupSequence, RestrictedRegionWithoutSseEndsAtTheRegionCheck) {
  fake::Scoped<fake::Processor> processor;
  fake::Scoped<fake::Region> region;
  processor->ssePresent = false;
  region->geoIso2 = u"KP";
  EXPECT_EXIT(
      {
        RunStartup(nullptr, nullptr, nullptr, 10);
        std::_Exit(3);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace Startup
