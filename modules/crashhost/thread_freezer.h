#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace crashhost {

// Every thread of a crashed process but the crashed one, seized and
// interrupted under ptrace by the calling thread, before anything of the
// process is read. They stay stopped until this process ends (the kernel
// then lets them go) or theirs dies.
class ThreadFreezer {
 public:
  ThreadFreezer(pid_t process, pid_t crashedThread, std::chrono::steady_clock::time_point deadline);
  ThreadFreezer(const ThreadFreezer&) = delete;
  ThreadFreezer& operator=(const ThreadFreezer&) = delete;

  // Whether every thread found was stopped.
  bool AllStopped() const { return problems_.empty(); }
  const std::vector<pid_t>& Stopped() const { return stopped_; }
  // "thread 123: cannot attach: Operation not permitted", one per thread.
  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  std::vector<pid_t> stopped_;
  std::vector<std::string> problems_;
};

}  // namespace crashhost
