#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/code_page.h"
#include "platform/modules.h"

namespace platform {
namespace {

TEST(ModulesPosixTest, ExecutablePathIsCutToTheBufferAsWindowsDoes) {
  const std::string expected = std::filesystem::read_symlink("/proc/self/exe").string();
  char16_t full[4096];
  const std::uint32_t length = GetModuleFileNameW(nullptr, full, 4096);
  EXPECT_EQ(std::u16string(full, length), std::u16string(expected.begin(), expected.end()));
  EXPECT_EQ(GetModuleFileNameW(GetModuleHandleW(nullptr), full, 4096), length);

  char16_t cut[5] = {u'#', u'#', u'#', u'#', u'#'};
  EXPECT_EQ(GetModuleFileNameW(nullptr, cut, 5), 5u);
  EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
  EXPECT_EQ(std::u16string(cut, 4), std::u16string(full, 4));
  EXPECT_EQ(cut[4], u'\0');
}

TEST(ModulesPosixTest, LoadsByTheExactPathOnly) {
  const std::filesystem::path libc = "/lib/x86_64-linux-gnu/libc.so.6";
  if (!std::filesystem::exists(libc)) GTEST_SKIP() << "no " << libc;
  // On the library path, but not in the working folder.
  EXPECT_EQ(LoadLibraryExW(u"libc.so.6", nullptr, 0), nullptr);

  ModuleHandle module = LoadLibraryExW(u"/lib/x86_64-linux-gnu/libc.so.6", nullptr, 0);
  ASSERT_NE(module, nullptr);
  EXPECT_NE(GetProcAddress(module, "strlen"), nullptr);
  EXPECT_EQ(GetProcAddress(module, "no_such_export"), nullptr);
  char16_t path[4096];
  const std::uint32_t length = GetModuleFileNameW(module, path, 4096);
  const std::string expected = std::filesystem::canonical(libc).string();
  EXPECT_EQ(std::u16string(path, length), std::u16string(expected.begin(), expected.end()));
  EXPECT_TRUE(FreeLibrary(module));
}

TEST(ModulesPosixTest, UnknownHandleIsRefusedNotRead) {
  int notAModule = 0;
  char16_t path[16];
  EXPECT_EQ(GetModuleFileNameW(&notAModule, path, 16), 0u);
}

}  // namespace
}  // namespace platform
