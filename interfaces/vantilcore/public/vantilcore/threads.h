#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "vantilcore/export.h"

namespace vantilcore::threads {

// A recursive mutex that lets a waiter spin for a while before it sleeps,
// and wakes a sleeper only when there is one: the stretches it guards are
// far shorter than a sleep and a wake-up. A spinning waiter looks less and
// less often, so that a holder that takes the lock again at once keeps its
// lines on its own core instead of handing them over on every call.
class VANTILCORE_API RecursiveMutex {
 public:
  RecursiveMutex();
  ~RecursiveMutex();
  RecursiveMutex(const RecursiveMutex&) = delete;
  RecursiveMutex& operator=(const RecursiveMutex&) = delete;

  void Lock(const char* location);
  void Unlock();

 private:
  enum : std::uint32_t { kFree = 0, kLocked = 1, kSleepers = 2 };

  bool TryAcquire(std::uint32_t mark);
  bool SpinAcquire(std::uint32_t mark);
  void AcquireSlow();

  std::atomic<std::uint32_t> state_{kFree};
  std::atomic<std::thread::id> owner_{};
  std::uint32_t depth_ = 0;  // written only by the owner
};

}  // namespace vantilcore::threads
