#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "test_support/unprivileged_child.h"

namespace SpeedLauncher::testing {
namespace {

constexpr uid_t kNobody = 65534;

bool DropRoot() {
  if (geteuid() != 0) return true;
  return setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
}

}  // namespace

int RunUnprivileged(const std::function<int()>& check) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) return kUnprivilegedUnavailable;
  if (child == 0) {
    if (!DropRoot()) {
      std::fputs("cannot become nobody\n", stderr);
      _exit(kUnprivilegedUnavailable);
    }
    const int result = check();
    std::fflush(nullptr);
    _exit(result);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child) return kUnprivilegedUnavailable;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

}  // namespace SpeedLauncher::testing
