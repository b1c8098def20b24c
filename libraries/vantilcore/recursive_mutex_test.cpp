#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
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

// A holder that keeps the lock past every waiter's spinning sends them all
// to sleep; each woken waiter must leave a wake-up for those still asleep,
// or the test hangs.
TEST(RecursiveMutex, WakesEverySleeperAfterALongHold) {
  vantilcore::threads::RecursiveMutex mutex;
  constexpr int kWaiters = 3;
  std::atomic<int> started{0};
  int passed = 0;
  mutex.Lock(nullptr);
  std::vector<std::thread> waiters;
  for (int t = 0; t < kWaiters; ++t) {
    waiters.emplace_back([&] {
      ++started;
      mutex.Lock(nullptr);
      ++passed;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      mutex.Unlock();
    });
  }
  while (started.load() != kWaiters) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(passed, 0);
  mutex.Unlock();
  for (std::thread& waiter : waiters) waiter.join();
  EXPECT_EQ(passed, kWaiters);
}

}  // namespace
