#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "vantilcore/threads.h"

namespace {

// Four threads, each taking the lock once and again inside: a lost wake-up
// hangs the test, a lost exclusion loses increments, and the inner unlock
// must not release the outer hold.
TEST(RecursiveMutex, ExcludesOtherThreadsAndNestsWithinOne) {
  vantilcore::threads::RecursiveMutex mutex;
  constexpr int kThreads = 4;
  constexpr int kRounds = 20000;
  long counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kRounds; ++i) {
        mutex.Lock(nullptr);
        mutex.Lock(nullptr);
        ++counter;
        mutex.Unlock();
        ++counter;  // still held
        mutex.Unlock();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(counter, 2L * kThreads * kRounds);
}

}  // namespace
