#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/registry.h"
#include "test_support/scratch_folder.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class RegistryPosixTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_RUNTIME_DIR", runtime_.Dir().c_str(), 1);
    ASSERT_EQ(RegCreateKeyExW(HkeyCurrentUser(), u"Software\\Maker\\Module", 0, nullptr,
                              kRegOptionVolatile, kKeyWrite, nullptr, &key_, nullptr),
              0);
  }
  void TearDown() override { RegCloseKey(key_); }

  static constexpr const char* kKeyFolder =
      "pellicor-registry/HKEY_CURRENT_USER/Software/Maker/Module";
  fs::path KeyFolder() const { return runtime_.Dir() / kKeyFolder; }
  std::string Contents(const std::string& file) const {
    return runtime_.Read(std::string(kKeyFolder) + "/" + file);
  }

  testing_support::ScratchFolder runtime_{"registry-test"};
  RegKey key_ = nullptr;
};

TEST_F(RegistryPosixTest, ValueFileHoldsTypeAndDataUnderEncodedName) {
  const std::uint32_t value = 0x01020304;
  ASSERT_EQ(RegSetValueExW(key_, u"C:\\dir\\h\u00E9.dll", 0, kRegDword,
                           reinterpret_cast<const std::uint8_t*>(&value), 4),
            0);
  EXPECT_EQ(Contents("C%3A%5Cdir%5Ch%C3%A9.dll"), std::string("\x04\0\0\0\x04\x03\x02\x01", 8));
  // A value named ".." stays inside its key.
  ASSERT_EQ(RegSetValueExW(key_, u"..", 0, kRegDword, nullptr, 0), 0);
  EXPECT_TRUE(fs::exists(KeyFolder() / "%2E%2E"));
}

TEST_F(RegistryPosixTest, ConcurrentWritersNeverLeaveATornValue) {
  std::vector<std::thread> writers;
  for (int writer = 0; writer < 4; ++writer) {
    writers.emplace_back([this, writer] {
      const std::vector<std::uint8_t> data(4096, static_cast<std::uint8_t>('a' + writer));
      for (int i = 0; i < 50; ++i) {
        RegSetValueExW(key_, u"shared", 0, 3, data.data(), static_cast<std::uint32_t>(data.size()));
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  const std::string contents = Contents("shared");
  ASSERT_EQ(contents.size(), 4100u);
  EXPECT_EQ(contents.find_first_not_of(contents[4], 4), std::string::npos);
  // No temporary files are left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(KeyFolder()), fs::directory_iterator()), 1);
}

TEST_F(RegistryPosixTest, OnlyTheFirstDeleteFindsTheValue) {
  // The runtime folder is emptied at logout: a key opened before still takes values.
  fs::remove_all(runtime_.Dir() / "pellicor-registry");
  ASSERT_EQ(RegSetValueExW(key_, u"v", 0, kRegDword, nullptr, 0), 0);
  EXPECT_EQ(RegDeleteValueW(key_, u"v"), 0);
  EXPECT_EQ(RegDeleteValueW(key_, u"v"), static_cast<Status>(kErrorFileNotFound));
}

// Value names are paths of any length Windows takes: far past one file name
// once encoded, they still meet in one value and are deleted once.
TEST_F(RegistryPosixTest, LongValueNamesAreStoredUpToTheWindowsLimit) {
  const std::u16string longName = u"/opt/" + std::u16string(16000, u'\u00E9');
  const std::u16string otherName = u"/opt/" + std::u16string(16000, u'e');
  ASSERT_EQ(RegSetValueExW(key_, longName.c_str(), 0, kRegDword, nullptr, 0), 0);
  ASSERT_EQ(RegSetValueExW(key_, longName.c_str(), 0, kRegDword, nullptr, 0), 0);
  ASSERT_EQ(RegSetValueExW(key_, otherName.c_str(), 0, kRegDword, nullptr, 0), 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(KeyFolder()), fs::directory_iterator()), 2);
  EXPECT_EQ(RegDeleteValueW(key_, longName.c_str()), 0);
  EXPECT_EQ(RegDeleteValueW(key_, longName.c_str()), static_cast<Status>(kErrorFileNotFound));
  EXPECT_EQ(RegDeleteValueW(key_, otherName.c_str()), 0);

  const std::u16string tooLong(16384, u'a');
  EXPECT_EQ(RegSetValueExW(key_, tooLong.c_str(), 0, kRegDword, nullptr, 0),
            static_cast<Status>(kErrorInvalidParameter));
  EXPECT_EQ(std::distance(fs::directory_iterator(KeyFolder()), fs::directory_iterator()), 0);
}

TEST_F(RegistryPosixTest, KeyPathsCannotLeaveTheStore) {
  RegKey escaped = nullptr;
  EXPECT_EQ(RegCreateKeyExW(HkeyCurrentUser(), u"Software\\..\\..\\x", 0, nullptr, 0, kKeyWrite,
                            nullptr, &escaped, nullptr),
            static_cast<Status>(kErrorInvalidParameter));
  EXPECT_EQ(escaped, nullptr);
}

}  // namespace
}  // namespace platform
