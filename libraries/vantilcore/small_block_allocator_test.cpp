#include <gtest/gtest.h>
#include <sched.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <set>
#include <thread>
#include <vector>

#include "vantilcore/allocator.h"

namespace {

using vantilcore::allocator::SmallBlockAllocator;

TEST(SmallBlockAllocatorTest, BlocksAcrossClassBoundariesAreAlignedWritableAndReused) {
  for (std::size_t bytes : {0u, 1u, 15u, 16u, 17u, 255u, 256u, 511u, 512u, 513u, 100000u}) {
    void* block = SmallBlockAllocator::Allocate(bytes);
    ASSERT_NE(block, nullptr) << bytes;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u) << bytes;
    std::memset(block, 0xAB, bytes);
    SmallBlockAllocator::Dispose(block, bytes);
  }
  void* first = SmallBlockAllocator::Allocate(48);
  SmallBlockAllocator::Dispose(first, 48);
  EXPECT_EQ(SmallBlockAllocator::Allocate(40), first);  // same class, freed block comes back
  SmallBlockAllocator::Dispose(first, 40);
  SmallBlockAllocator::Dispose(nullptr, 32);
}

// Each thread fills its blocks with its own pattern: a block handed out twice
// or overlapping another shows up as a foreign byte.
TEST(SmallBlockAllocatorTest, ThreadsNeverShareLiveBlocks) {
  constexpr std::size_t kThreads = 4;
  std::vector<std::thread> threads;
  std::vector<int> faults(kThreads, 0);
  for (std::size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &faults] {
      std::vector<std::pair<unsigned char*, std::size_t>> live;
      for (std::size_t round = 0; round < 2000; ++round) {
        const std::size_t bytes = (round * 37 + t * 11) % 700;
        auto* block = static_cast<unsigned char*>(SmallBlockAllocator::Allocate(bytes));
        std::memset(block, static_cast<int>(t + 1), bytes);
        live.emplace_back(block, bytes);
        if (round % 3 == 0) {
          auto [old, size] = live.front();
          for (std::size_t i = 0; i < size; ++i) faults[t] += old[i] != t + 1;
          SmallBlockAllocator::Dispose(old, size);
          live.erase(live.begin());
        }
      }
      for (auto [block, size] : live) SmallBlockAllocator::Dispose(block, size);
    });
  }
  for (auto& thread : threads) thread.join();
  for (int fault : faults) EXPECT_EQ(fault, 0);
}

// Runs work on the given processor, so that two threads surely use two pools.
void OnProcessor(int cpu, const std::function<void()>& work) {
  std::thread thread([&] {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    ASSERT_EQ(pthread_setaffinity_np(pthread_self(), sizeof(set), &set), 0);
    work();
  });
  thread.join();
}

// One thread allocates, another frees: the freed blocks must come back to
// the allocating thread, or memory grows with every round.
TEST(SmallBlockAllocatorTest, BlocksFreedByAnotherThreadAreReused) {
  cpu_set_t allowed;
  ASSERT_EQ(sched_getaffinity(0, sizeof(allowed), &allowed), 0);
  if (!CPU_ISSET(0, &allowed) || !CPU_ISSET(1, &allowed))
    GTEST_SKIP() << "needs processors 0 and 1";
  constexpr std::size_t kBytes = 208;
  constexpr int kRounds = 50;
  constexpr int kBlocks = 1000;
  std::set<void*> seen;
  for (int round = 0; round < kRounds; ++round) {
    std::vector<void*> blocks;
    OnProcessor(0, [&] {
      for (int i = 0; i < kBlocks; ++i) blocks.push_back(SmallBlockAllocator::Allocate(kBytes));
    });
    seen.insert(blocks.begin(), blocks.end());
    OnProcessor(1, [&] {
      for (void* block : blocks) SmallBlockAllocator::Dispose(block, kBytes);
    });
  }
  EXPECT_LT(seen.size(), 4u * kBlocks);
}

}  // namespace
