#include "vantilcore/threads.h"

namespace vantilcore::threads {

RecursiveMutex::RecursiveMutex() = default;
RecursiveMutex::~RecursiveMutex() = default;

// The location is for diagnostics only; it does not change the locking.
void RecursiveMutex::Lock(const char*) { mutex_.lock(); }
void RecursiveMutex::Unlock() { mutex_.unlock(); }

}  // namespace vantilcore::threads
