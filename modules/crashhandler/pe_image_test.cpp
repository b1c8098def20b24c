#include "pe_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace crashhandler {
namespace {

constexpr std::uint64_t kBase = 0x180000000;

// An image in a buffer, placed at kBase of a pretend process.
class Image : public ProcessMemory {
 public:
  std::vector<unsigned char> bytes = std::vector<unsigned char>(0x4000);

  bool Read(std::uint64_t address, void* buffer, std::size_t size) const override {
    if (address < kBase || address - kBase + size > bytes.size()) return false;
    std::memcpy(buffer, &bytes[address - kBase], size);
    return true;
  }
  void Put(std::size_t at, std::uint32_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
      bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
  }
  void Put32(std::size_t at, std::uint32_t value) { Put(at, value, 4); }
  void Put16(std::size_t at, std::uint32_t value) { Put(at, value, 2); }
  void PutText(std::size_t at, const char* text) {
    std::memcpy(&bytes[at], text, std::strlen(text) + 1);
  }

  // A PE32+ image: exports at 0x1000, function table at 0x2000, unwind
  // information at 0x3000; code between 0x100 and 0x900.
  Image() {
    Put16(0, 0x5A4D);
    Put32(0x3C, 0x80);
    Put32(0x80, 0x4550);
    Put16(0x80 + 24, 0x20B);
    Put32(0x80 + 24 + 108, 16);      // directory count
    Put32(0x80 + 24 + 112, 0x1000);  // exports
    Put32(0x80 + 24 + 116, 0x200);
    Put32(0x80 + 24 + 112 + 3 * 8, 0x2000);  // function table
    Put32(0x80 + 24 + 112 + 3 * 8 + 4, 4 * 12);
    // Three functions, the third forwarded, named out of address order.
    Put32(0x1000 + 20, 3);
    Put32(0x1000 + 24, 3);
    Put32(0x1000 + 28, 0x1100);
    Put32(0x1000 + 32, 0x1120);
    Put32(0x1000 + 36, 0x1140);
    Put32(0x1100, 0x400);   // Run
    Put32(0x1104, 0x100);   // Start
    Put32(0x1108, 0x1180);  // forwarded: inside the directory
    Put32(0x1120, 0x1160);
    Put32(0x1124, 0x1168);
    Put32(0x1128, 0x1170);
    Put16(0x1140, 0);
    Put16(0x1142, 1);
    Put16(0x1144, 2);
    PutText(0x1160, "Run");
    PutText(0x1168, "Start");
    PutText(0x1170, "Other");
    PutText(0x1180, "kernel32.Other");
    // Start 0x100-0x200; Run 0x400-0x500 with a cold part 0x800-0x900
    // chained to it; an unexported function 0x600-0x700.
    const std::uint32_t table[][3] = {{0x100, 0x200, 0x3000},
                                      {0x400, 0x500, 0x3000},
                                      {0x600, 0x700, 0x3000},
                                      {0x800, 0x900, 0x3010}};
    for (std::size_t i = 0; i < 4; ++i) {
      for (std::size_t j = 0; j < 3; ++j) Put32(0x2000 + 12 * i + 4 * j, table[i][j]);
    }
    bytes[0x3000] = 1;               // version 1, no flags
    bytes[0x3010] = 1 | (0x4 << 3);  // chained, one unwind code
    bytes[0x3012] = 1;
    Put32(0x3010 + 4 + 4, 0x400);  // the entry it continues
    Put32(0x3010 + 4 + 8, 0x500);
    Put32(0x3010 + 4 + 12, 0x3000);
  }
};

TEST(PeImage, NamesExportedFunctionsFromTheFunctionTable) {
  const Image memory;
  const PeImage image(memory, kBase, memory.bytes.size());
  ASSERT_TRUE(image.Valid());
  EXPECT_TRUE(PeImage::IsImage(memory, kBase, memory.bytes.size()));
  std::uint32_t offset = 0;
  EXPECT_EQ(image.FunctionName(0x150, offset), "Start");
  EXPECT_EQ(offset, 0x50u);
  EXPECT_EQ(image.FunctionName(0x400, offset), "Run");
  EXPECT_EQ(offset, 0u);
  // The cold part belongs to Run.
  EXPECT_EQ(image.FunctionName(0x840, offset), "Run");
  EXPECT_EQ(offset, 0x440u);
  ASSERT_TRUE(image.FunctionEntry(0x840));
  EXPECT_EQ(image.FunctionEntry(0x840)->begin, 0x800u);
  // Not exported, past every function, and a forwarder's address.
  EXPECT_EQ(image.FunctionName(0x650, offset), "");
  EXPECT_EQ(image.FunctionName(0x950, offset), "");
  EXPECT_FALSE(image.FunctionEntry(0x950));
  EXPECT_EQ(image.FunctionName(0x1180, offset), "");
}

TEST(PeImage, DamagedHeadersNameNothing) {
  Image noHeader;
  noHeader.Put16(0, 0);
  EXPECT_FALSE(PeImage(noHeader, kBase, noHeader.bytes.size()).Valid());
  EXPECT_FALSE(PeImage::IsImage(noHeader, kBase, noHeader.bytes.size()));

  Image wild;
  wild.Put32(0x3C, 0xFFFFFFF0);
  EXPECT_FALSE(PeImage(wild, kBase, wild.bytes.size()).Valid());

  // Counts and addresses past the image, a name without its end.
  Image damaged;
  damaged.Put32(0x1000 + 24, 0xFFFFFFFF);
  damaged.Put32(0x80 + 24 + 112 + 3 * 8 + 4, 0xFFFFFFF0);
  std::memset(&damaged.bytes[0x3F00], 'A', 0x100);
  damaged.Put32(0x1124, 0x3F00);
  const PeImage image(damaged, kBase, damaged.bytes.size());
  std::uint32_t offset = 0;
  EXPECT_TRUE(image.Valid());
  EXPECT_EQ(image.FunctionName(0x150, offset), "");
  EXPECT_FALSE(image.FunctionEntry(0x150));

  // The image's stated size bounds every read, whatever the memory holds.
  const Image whole;
  EXPECT_EQ(PeImage(whole, kBase, 0x1100).FunctionName(0x400, offset), "");
}

}  // namespace
}  // namespace crashhandler
