#include "vantilcore/threads.h"

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>
#endif

namespace vantilcore::threads {
namespace {

// A waiter looks at most every 512 pauses (several microseconds, dozens of
// lookups), and sleeps after 64 looks, well under a millisecond of spinning.
constexpr int kMaxDelay = 512;
constexpr int kSpinRounds = 64;

void Pause() {
#if defined(__x86_64__) || defined(_M_X64)
  _mm_pause();
#endif
}

}  // namespace

RecursiveMutex::RecursiveMutex() = default;
RecursiveMutex::~RecursiveMutex() = default;

bool RecursiveMutex::TryAcquire(std::uint32_t mark) {
  std::uint32_t expected = kFree;
  return state_.compare_exchange_strong(expected, mark, std::memory_order_acquire,
                                        std::memory_order_relaxed);
}

// Waits twice as long after each failed look, up to a ceiling, and only
// reads the state between tries so that the holder keeps its line.
bool RecursiveMutex::SpinAcquire(std::uint32_t mark) {
  int delay = 1;
  for (int round = 0; round < kSpinRounds; ++round) {
    for (int i = 0; i < delay; ++i) Pause();
    if (state_.load(std::memory_order_relaxed) == kFree && TryAcquire(mark)) return true;
    if (delay < kMaxDelay) delay *= 2;
  }
  return false;
}

void RecursiveMutex::AcquireSlow() {
  // A thread that has slept takes the lock marked as having sleepers: it
  // cannot know whether others still sleep, and one of them must be woken.
  std::uint32_t mark = kLocked;
  for (;;) {
    if (SpinAcquire(mark)) return;
    if (state_.exchange(kSleepers, std::memory_order_acquire) == kFree) return;
    state_.wait(kSleepers, std::memory_order_relaxed);
    mark = kSleepers;
  }
}

// The location is for diagnostics only; it does not change the locking.
void RecursiveMutex::Lock(const char*) {
  const std::thread::id self = std::this_thread::get_id();
  // Only the owner can find its own id here.
  if (owner_.load(std::memory_order_relaxed) == self) {
    ++depth_;
    return;
  }
  if (!TryAcquire(kLocked)) AcquireSlow();
  owner_.store(self, std::memory_order_relaxed);
  depth_ = 1;
}

void RecursiveMutex::Unlock() {
  if (--depth_ > 0) return;
  owner_.store(std::thread::id(), std::memory_order_relaxed);
  if (state_.exchange(kFree, std::memory_order_release) == kSleepers) state_.notify_one();
}

}  // namespace vantilcore::threads
