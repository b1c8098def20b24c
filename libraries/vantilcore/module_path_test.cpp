#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/last_error.h"
#include "vantilcore/utility.h"

namespace {

// The platform layer is one per process: an error the library's call left
// is what the program's next GetLastError reads, as on Windows.
TEST(ModulePathTest, UnknownModuleFailsWithTheErrorTheCallerReads) {
  platform::SetLastErrorCode(0);
  int notAModule = 0;
  EXPECT_TRUE(vantilcore::utility::GetModulePath(&notAModule).empty());
  EXPECT_EQ(platform::GetLastError(), 126u);  // ERROR_MOD_NOT_FOUND
}

TEST(ModulePathTest, ProgramPathIsAbsolute) {
  const UTF16String path = vantilcore::utility::GetModulePath(nullptr);
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), u'/');
  EXPECT_NE(path.find(u"module_path_test"), UTF16String::npos);
}

}  // namespace
