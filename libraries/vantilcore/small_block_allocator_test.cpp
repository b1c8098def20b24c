#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "vantilcore/allocator.h"

namespace {

using vantilcore::allocator::SmallBlockAllocator;

// Strings ask for zero bytes too; every block, however small, is one of its
// own, aligned for any character type, and goes back with its size.
TEST(SmallBlockAllocatorTest, EverySizeGetsADistinctAlignedBlock) {
  void* empty = SmallBlockAllocator::Allocate(0);
  void* other = SmallBlockAllocator::Allocate(0);
  ASSERT_NE(empty, nullptr);
  EXPECT_NE(empty, other);
  for (std::size_t bytes : {1u, 15u, 16u, 17u, 512u, 100000u}) {
    void* block = SmallBlockAllocator::Allocate(bytes);
    ASSERT_NE(block, nullptr) << bytes;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t), 0u) << bytes;
    std::memset(block, 0xAB, bytes);
    SmallBlockAllocator::Dispose(block, bytes);
  }
  SmallBlockAllocator::Dispose(empty, 0);
  SmallBlockAllocator::Dispose(other, 0);
  SmallBlockAllocator::Dispose(nullptr, 32);
}

}  // namespace
