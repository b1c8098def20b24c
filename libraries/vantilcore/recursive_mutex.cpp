#include "vantilcore/threads.h"

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>
#endif

namespace vantilcore::threads {
namespace {

// Long enough to cover a dictionary lookup held by another thread.
constexpr int kSpins = 100;

void Pause() {
#if defined(__x86_64__) || defined(_M_X64)
  _mm_pause();
#endif
}

}  // namespace

RecursiveMutex::RecursiveMutex() = default;
RecursiveMutex::~RecursiveMutex() = default;

bool RecursiveMutex::TryAcquire() {
  std::uint32_t expected = kFree;
  return state_.compare_exchange_strong(expected, kLocked, std::memory_order_acquire,
                                        std::memory_order_relaxed);
}

void RecursiveMutex::AcquireSlow() {
  for (int i = 0; i < kSpins; ++i) {
    Pause();
    if (state_.load(std::memory_order_relaxed) == kFree && TryAcquire()) return;
  }
  // From here the state says that someone may sleep, so that the holder
  // wakes one on its way out.
  while (state_.exchange(kSleepers, std::memory_order_acquire) != kFree) {
    state_.wait(kSleepers, std::memory_order_relaxed);
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
  if (!TryAcquire()) AcquireSlow();
  owner_.store(self, std::memory_order_relaxed);
  depth_ = 1;
}

void RecursiveMutex::Unlock() {
  if (--depth_ > 0) return;
  owner_.store(std::thread::id(), std::memory_order_relaxed);
  if (state_.exchange(kFree, std::memory_order_release) == kSleepers) state_.notify_one();
}

}  // namespace vantilcore::threads
