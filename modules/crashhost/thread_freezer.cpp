#include "thread_freezer.h"

#include <dirent.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace crashhost {
namespace {

constexpr int kListPasses = 8;
constexpr long kPollNanoseconds = 50'000;

struct DirectoryCloser {
  void operator()(DIR* directory) const { closedir(directory); }
};

std::vector<pid_t> ListThreads(pid_t process) {
  std::vector<pid_t> threads;
  const std::string folder = "/proc/" + std::to_string(process) + "/task";
  const std::unique_ptr<DIR, DirectoryCloser> directory(opendir(folder.c_str()));
  if (!directory) return threads;
  while (const dirent* entry = readdir(directory.get())) {
    char* end = nullptr;
    const long id = std::strtol(entry->d_name, &end, 10);
    if (*end == '\0' && id > 0) threads.push_back(static_cast<pid_t>(id));
  }
  return threads;
}

std::string Problem(pid_t thread, const char* what, int error) {
  return "thread " + std::to_string(thread) + ": " + what + ": " + std::strerror(error);
}

}  // namespace

ThreadFreezer::ThreadFreezer(pid_t process, pid_t crashedThread,
                             std::chrono::steady_clock::time_point deadline) {
  // Interrupt everything first, then collect the stops: the threads stop
  // in parallel. New threads may appear until their creators are stopped.
  std::vector<pid_t> pending;
  std::vector<pid_t> seen{crashedThread};
  for (int pass = 0; pass < kListPasses; ++pass) {
    bool found = false;
    for (pid_t thread : ListThreads(process)) {
      if (std::find(seen.begin(), seen.end(), thread) != seen.end()) continue;
      seen.push_back(thread);
      found = true;
      if (ptrace(PTRACE_SEIZE, thread, nullptr, nullptr) != 0) {
        // A thread that ended meanwhile is no loss.
        if (errno != ESRCH) problems_.push_back(Problem(thread, "cannot attach", errno));
        continue;
      }
      if (ptrace(PTRACE_INTERRUPT, thread, nullptr, nullptr) != 0) {
        problems_.push_back(Problem(thread, "cannot stop", errno));
        continue;
      }
      pending.push_back(thread);
    }
    if (!found) break;
  }

  const timespec poll{0, kPollNanoseconds};
  while (!pending.empty()) {
    int status = 0;
    const pid_t ended = waitpid(-1, &status, __WALL | WNOHANG);
    if (ended > 0) {
      const auto at = std::find(pending.begin(), pending.end(), ended);
      if (at == pending.end()) continue;
      pending.erase(at);
      // A thread that stops for a signal of its own stays stopped too; the
      // signal dies with the process.
      if (WIFSTOPPED(status)) stopped_.push_back(ended);
      continue;
    }
    if (ended < 0 && errno != EINTR) break;
    if (std::chrono::steady_clock::now() >= deadline) break;
    nanosleep(&poll, nullptr);
  }
  for (pid_t thread : pending) {
    problems_.push_back("thread " + std::to_string(thread) + ": did not stop in time");
  }
}

}  // namespace crashhost
