#pragma once

#include <mutex>

#include "vantilcore/export.h"

namespace vantilcore::threads {

class VANTILCORE_API RecursiveMutex {
 public:
  RecursiveMutex();
  ~RecursiveMutex();
  RecursiveMutex(const RecursiveMutex&) = delete;
  RecursiveMutex& operator=(const RecursiveMutex&) = delete;

  void Lock(const char* location);
  void Unlock();

 private:
  std::recursive_mutex mutex_;
};

}  // namespace vantilcore::threads
