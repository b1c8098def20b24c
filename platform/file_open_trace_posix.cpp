#include <cerrno>

#include "platform/file_open_trace.h"

#if defined(__linux__) && defined(__x86_64__)

#include <fcntl.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <unordered_set>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

constexpr long kTraceOptions = PTRACE_O_TRACESYSGOOD | PTRACE_O_TRACEFORK | PTRACE_O_TRACEVFORK |
                               PTRACE_O_TRACECLONE | PTRACE_O_TRACEEXEC;
constexpr int kSyscallStop = SIGTRAP | 0x80;

// The child's side: be traced, wait for the tracer, become the program. An
// exec that fails sends its errno up the pipe.
[[noreturn]] void RunTraced(std::vector<char*>& argv, const sigset_t& mask, int errorPipe) {
  pthread_sigmask(SIG_SETMASK, &mask, nullptr);
  int error = 0;
  if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) == 0) {
    raise(SIGSTOP);
    execvp(argv[0], argv.data());
  }
  error = errno;
  if (write(errorPipe, &error, sizeof error) < 0) _exit(127);
  _exit(127);
}

// Flags of an open call at its end; false for calls that open nothing.
bool OpenFlags(pid_t tid, const user_regs_struct& regs, std::uint64_t& flags) {
  switch (regs.orig_rax) {
    case SYS_open:
      flags = regs.rsi;
      return true;
    case SYS_openat:
      flags = regs.rdx;
      return true;
    case SYS_openat2: {
      errno = 0;  // the first member of struct open_how is the flags
      const long word = ptrace(PTRACE_PEEKDATA, tid, regs.rdx, nullptr);
      flags = static_cast<std::uint64_t>(word);
      return errno == 0;
    }
    default:
      return false;
  }
}

// At a system call's end: a regular file opened for reading is reported by
// the path its new descriptor names.
void AtSyscallExit(pid_t tid, const std::function<void(const std::string&)>& opened) {
  user_regs_struct regs{};
  if (ptrace(PTRACE_GETREGS, tid, nullptr, &regs) != 0) return;
  const auto result = static_cast<long long>(regs.rax);
  std::uint64_t flags = 0;
  if (result < 0 || !OpenFlags(tid, regs, flags)) return;
  if ((flags & O_ACCMODE) == O_WRONLY || (flags & O_PATH) != 0) return;
  const std::string link = "/proc/" + std::to_string(tid) + "/fd/" + std::to_string(result);
  char target[4096];
  const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
  if (length <= 0 || target[0] != '/') return;
  const std::string path(target, static_cast<std::size_t>(length));
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return;
  opened(path);
}

bool IsSyscallEntry(pid_t tid) {
  user_regs_struct regs{};
  if (ptrace(PTRACE_GETREGS, tid, nullptr, &regs) != 0) return false;
  return static_cast<long long>(regs.rax) == -ENOSYS;
}

class Tracer {
 public:
  Tracer(pid_t child, double seconds, const std::function<void(const std::string&)>& opened)
      : child_(child), opened_(opened), limited_(seconds > 0) {
    deadline_ = Clock::now() +
                std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    tracees_.insert(child);
    started_.insert(child);
  }

  // Follows every tracee until all have ended or, at the deadline, have
  // been let go.
  void Run(const sigset_t& childSignal, TraceOutcome& outcome) {
    ptrace(PTRACE_SETOPTIONS, child_, nullptr, kTraceOptions);
    ptrace(PTRACE_SYSCALL, child_, nullptr, nullptr);
    while (!tracees_.empty()) {
      int status = 0;
      const pid_t tid = waitpid(-1, &status, __WALL | WNOHANG);
      if (tid < 0) break;
      if (tid == 0) {
        WaitForEvent(childSignal, outcome);
        continue;
      }
      Handle(tid, status, outcome);
    }
    for (pid_t tid : released_) kill(tid, SIGCONT);  // a stop sent to let go may remain
  }

 private:
  void WaitForEvent(const sigset_t& childSignal, TraceOutcome& outcome) {
    timespec timeout{0, 100'000'000};
    if (limited_ && !outcome.timedOut) {
      const auto left = deadline_ - Clock::now();
      if (left <= Clock::duration::zero()) return LetGo(outcome);
      if (left < std::chrono::milliseconds(100)) {
        timeout.tv_nsec = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
      }
    }
    sigtimedwait(&childSignal, nullptr, &timeout);
  }

  // Each tracee is stopped and detached at its next stop, and runs on.
  void LetGo(TraceOutcome& outcome) {
    outcome.timedOut = true;
    for (pid_t tid : tracees_) syscall(SYS_tkill, tid, SIGSTOP);
  }

  void Handle(pid_t tid, int status, TraceOutcome& outcome) {
    if (WIFEXITED(status) || WIFSIGNALED(status)) {
      tracees_.erase(tid);
      if (tid == child_) {
        outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      return;
    }
    if (!WIFSTOPPED(status)) return;
    tracees_.insert(tid);
    if (outcome.timedOut) {
      ptrace(PTRACE_DETACH, tid, nullptr, nullptr);
      tracees_.erase(tid);
      released_.push_back(tid);
      return;
    }
    const int signal = WSTOPSIG(status);
    const int event = status >> 16;
    int deliver = 0;
    if (signal == kSyscallStop) {
      if (!IsSyscallEntry(tid)) AtSyscallExit(tid, opened_);
    } else if (signal == SIGTRAP && event != 0) {
      NewTracee(tid, event);
    } else if (signal == SIGSTOP && started_.insert(tid).second) {
      // A new process or thread's first stop: not the program's signal.
    } else {
      deliver = signal;
    }
    ptrace(PTRACE_SYSCALL, tid, nullptr, deliver);
  }

  void NewTracee(pid_t tid, int event) {
    if (event != PTRACE_EVENT_FORK && event != PTRACE_EVENT_VFORK && event != PTRACE_EVENT_CLONE) {
      return;
    }
    unsigned long added = 0;
    if (ptrace(PTRACE_GETEVENTMSG, tid, nullptr, &added) == 0) {
      tracees_.insert(static_cast<pid_t>(added));
    }
  }

  pid_t child_;
  const std::function<void(const std::string&)>& opened_;
  bool limited_;
  Clock::time_point deadline_;
  std::unordered_set<pid_t> tracees_;
  std::unordered_set<pid_t> started_;  // past their first stop
  std::vector<pid_t> released_;
};

}  // namespace

TraceOutcome TraceFileOpens(const std::vector<std::string>& program, double seconds,
                            const std::function<void(const std::string&)>& opened) {
  TraceOutcome outcome;
  if (program.empty()) {
    outcome.error = EINVAL;
    return outcome;
  }
  std::vector<char*> argv;
  for (const std::string& word : program) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);

  int errorPipe[2];
  if (pipe2(errorPipe, O_CLOEXEC) != 0) {
    outcome.error = errno;
    return outcome;
  }
  // SIGCHLD stays blocked so that the tracer can sleep until a tracee stops.
  sigset_t childSignal;
  sigset_t previous;
  sigemptyset(&childSignal);
  sigaddset(&childSignal, SIGCHLD);
  pthread_sigmask(SIG_BLOCK, &childSignal, &previous);
  const pid_t child = fork();
  if (child == 0) RunTraced(argv, previous, errorPipe[1]);
  close(errorPipe[1]);
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFSTOPPED(status)) {
    outcome.error = child < 0 ? errno : EPERM;
  } else {
    Tracer(child, seconds, opened).Run(childSignal, outcome);
    outcome.started = true;
  }
  int execError = 0;
  if (read(errorPipe[0], &execError, sizeof execError) == sizeof execError) {
    outcome.started = false;
    outcome.error = execError;
  }
  close(errorPipe[0]);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return outcome;
}

}  // namespace platform

#else

namespace platform {

TraceOutcome TraceFileOpens(const std::vector<std::string>&, double,
                            const std::function<void(const std::string&)>&) {
  TraceOutcome outcome;
  outcome.error = ENOSYS;
  return outcome;
}

}  // namespace platform

#endif
