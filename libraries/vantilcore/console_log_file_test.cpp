#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "test_support/scratch_folder.h"
#include "vantilcore/console.h"

namespace {

using vantilcore::console::ConsoleLogFile;

TEST(ConsoleLogFileTest, OnlyAnExistingRegularFileNamedByTheVariableCounts) {
  const testing_support::ScratchFolder scratch("console-log-test");
  const auto folder = scratch.Dir();
  const std::filesystem::path file = scratch.Write("log.txt", "log");
  UTF16String path = u"untouched";

  unsetenv("VANTIL_CONSOLE_LOG");
  EXPECT_FALSE(ConsoleLogFile::GetInstance().GetLogFilePath(path, false));
  setenv("VANTIL_CONSOLE_LOG", folder.c_str(), 1);  // a directory is no log
  EXPECT_FALSE(ConsoleLogFile::GetInstance().GetLogFilePath(path, true));
  setenv("VANTIL_CONSOLE_LOG", (folder / "missing.txt").c_str(), 1);
  EXPECT_FALSE(ConsoleLogFile::GetInstance().GetLogFilePath(path, true));
  EXPECT_FALSE(std::filesystem::exists(folder / "missing.txt"));  // never created
  EXPECT_EQ(path, UTF16String(u"untouched"));

  setenv("VANTIL_CONSOLE_LOG", file.c_str(), 1);
  ASSERT_TRUE(ConsoleLogFile::GetInstance().GetLogFilePath(path, false));
  EXPECT_EQ(std::filesystem::path(std::u16string(path.begin(), path.end())), file);
  unsetenv("VANTIL_CONSOLE_LOG");
}

}  // namespace
