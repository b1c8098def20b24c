#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_support/scratch_folder.h"
#include "vantilcore/debug.h"

namespace {

using vantilcore::debug::DebugDatabase;

UTF8String U8(const char* text) { return UTF8String(reinterpret_cast<const unsigned char*>(text)); }

// The database is read once per process, so this is the only test that
// touches Instance().
TEST(DebugDatabaseTest, ReadsTheUserFileOnceAndKeepsRunTimeEntriesInMemory) {
  const testing_support::ScratchFolder home("debug-database-test");
  // Longer than one piece of the reader, the entry after the first.
  std::string content;
  for (int line = 0; line < 2000; ++line) content += "# settings\n";
  content += "verbose = true\n";
  const std::string file = home.Write("Harlund/DebugDatabase.txt", content);
  setenv("XDG_DATA_HOME", home.Dir().c_str(), 1);

  DebugDatabase& database = DebugDatabase::Instance();
  EXPECT_EQ(database.trueValue, U8("true"));
  EXPECT_EQ(database.GetEntry(U8("verbose"), U8("false")), database.trueValue);
  EXPECT_EQ(database.GetEntry(U8("absent"), U8("fallback")), U8("fallback"));
  database.SetEntry(U8("absent"), U8("set"));
  EXPECT_EQ(database.GetEntry(U8("absent"), U8("fallback")), U8("set"));
  EXPECT_EQ(std::filesystem::file_size(file), content.size());  // nothing written back
}

TEST(AssertDialogTest, IgnoredSitesAndUnansweredReportsDoNotBreak) {
  bool ignore = true;
  EXPECT_FALSE(vantilcore::debug::BreakAfterAssertDialog(ignore, "x", "m", "f.cpp", 1, "F", true));
  ignore = false;
  unsetenv("VANTIL_ASSERT");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(vantilcore::debug::BreakAfterAssertDialog(ignore, "a > b", "too small", "f.cpp", 12,
                                                         "Check", true));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Assertion failed: a > b (too small) at f.cpp:12 in Check\n");
}

}  // namespace
