#include "crash_handler_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "test_support/scratch_folder.h"

namespace Startup {
namespace {

UTF8String Utf8(const std::string& text) { return UTF8String(text.begin(), text.end()); }

std::string Text(const unsigned char* data, std::uint64_t length) {
  return std::string(reinterpret_cast<const char*>(data), length);
}

TEST(CrashHandlerSettings, PreparedRecordNamesProductAndForum) {
  CrashHandlerSettings settings;
  settings.reserved1 = 0xDEAD;
  PrepareCrashHandlerSettings(settings);
  EXPECT_EQ(settings.reserved1, 0u);
  EXPECT_EQ(Text(settings.productName, settings.productNameLength), "VANTIL_PRODUCT_NAME");
  EXPECT_EQ(settings.productNameLength, 19u);
  EXPECT_EQ(settings.productName[settings.productNameLength], '\0');
  EXPECT_EQ(Text(settings.forumAddress, settings.forumAddressLength), kForumAddress);
  EXPECT_EQ(settings.logDirectory, nullptr);
  EXPECT_EQ(settings.logDirectoryLength, 0u);
}

TEST(CrashHandlerSettings, SuppressFlagOnlyForExactTrue) {
  auto& database = vantilcore::debug::DebugDatabase::Instance();
  const UTF8String key = Utf8(kSuppressDialogSwitch);
  const struct {
    const char* value;
    std::uint32_t expected;
  } cases[] = {{"true", 1}, {"TRUE", 0}, {"True", 0}, {"1", 0}, {"false", 0}, {"true ", 0}};
  for (const auto& c : cases) {
    database.SetEntry(key, Utf8(c.value));
    CrashHandlerSettings settings;
    settings.suppressDialog = 7;
    RecordSuppressDialog(settings);
    EXPECT_EQ(settings.suppressDialog, c.expected) << c.value;
  }
}

TEST(CrashHandlerSettings, ReadDebugFlagFallsBackToDefault) {
  auto& database = vantilcore::debug::DebugDatabase::Instance();
  EXPECT_TRUE(ReadDebugFlag(database, Utf8("Test.absent.switch"), true));
  EXPECT_FALSE(ReadDebugFlag(database, Utf8("Test.absent.switch"), false));
}

TEST(CrashHandlerSettings, LogDirectoryOnlyWhenConsoleLogExists) {
  CrashHandlerSettings settings;
  unsetenv("VANTIL_CONSOLE_LOG");
  RecordLogDirectory(settings);
  EXPECT_EQ(settings.logDirectory, nullptr);
  EXPECT_EQ(settings.logDirectoryLength, 0u);

  const testing_support::ScratchFolder folder("pellicor-log");
  setenv("VANTIL_CONSOLE_LOG", folder.Write("console.log", "started\n").c_str(), 1);
  RecordLogDirectory(settings);
  unsetenv("VANTIL_CONSOLE_LOG");

  ASSERT_NE(settings.logDirectory, nullptr);
  EXPECT_EQ(Text(settings.logDirectory, settings.logDirectoryLength), folder.Dir().string());
  EXPECT_EQ(settings.logDirectory[settings.logDirectoryLength], '\0');
}

TEST(CrashHandlerSettings, ExceptionInCoreSettingsKeepsTheFieldsBeforeIt) {
  vantilcore::debug::DebugDatabase::Instance().SetEntry(Utf8(kSuppressDialogSwitch), Utf8("true"));
  const testing_support::ScratchFolder folder("pellicor-log");
  setenv("VANTIL_CONSOLE_LOG", folder.Write("console.log", "started\n").c_str(), 1);

  CrashHandlerSettings settings;
  PrepareCrashHandlerSettings(settings);
  EXPECT_NO_THROW(RecordCoreSettings(
      settings,
      {RecordSuppressDialog, [](CrashHandlerSettings&) { throw std::runtime_error("no log path"); },
       RecordLogDirectory}));
  EXPECT_EQ(settings.suppressDialog, 1u);
  EXPECT_EQ(settings.logDirectory, nullptr);  // the step after the throw did not run
  EXPECT_EQ(settings.logDirectoryLength, 0u);
  EXPECT_EQ(Text(settings.productName, settings.productNameLength), "VANTIL_PRODUCT_NAME");

  RecordCoreSettings(settings);  // the start's own steps
  unsetenv("VANTIL_CONSOLE_LOG");
  EXPECT_EQ(settings.suppressDialog, 1u);
  EXPECT_EQ(Text(settings.logDirectory, settings.logDirectoryLength), folder.Dir().string());
}

}  // namespace
}  // namespace Startup
