#include <sys/stat.h>
#include <time.h>

#include <cerrno>

#include "platform/file_open_trace.h"

namespace platform {

FileClockStamp FileClockNow() {
  // The coarse clock is the one change times are taken from: a change made
  // after this moment is never stamped before it.
  timespec now{};
  clock_gettime(CLOCK_REALTIME_COARSE, &now);
  return {now.tv_sec, now.tv_nsec};
}

FileClockStamp FileClockNextTick() {
  // A change a moment ago may be stamped by the fine clock, ahead of the
  // coarse one: waiting until the coarse clock has passed the fine clock's
  // present (a tick or two, a few milliseconds) keeps it apart from what
  // changes from now on.
  timespec fine{};
  clock_gettime(CLOCK_REALTIME, &fine);
  for (;;) {
    const FileClockStamp now = FileClockNow();
    if (now.seconds > fine.tv_sec ||
        (now.seconds == fine.tv_sec && now.nanoseconds > fine.tv_nsec)) {
      return now;
    }
    const timespec pause{0, 200'000};
    nanosleep(&pause, nullptr);
  }
}

bool UnchangedSince(const std::string& path, const FileClockStamp& since) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  // Creating, writing, truncating, renaming and linking all move the change
  // time; reading does not.
  const FileClockStamp changed{status.st_ctim.tv_sec, status.st_ctim.tv_nsec};
  return changed.seconds < since.seconds ||
         (changed.seconds == since.seconds && changed.nanoseconds < since.nanoseconds);
}

}  // namespace platform

#if defined(__linux__) && defined(__x86_64__)

#include <fcntl.h>
#include <linux/audit.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <unordered_map>
#include <unordered_set>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// EXITKILL: a recorder that dies takes the traced processes with it rather
// than leaving them running without their tracer.
constexpr long kTraceOptions = PTRACE_O_TRACESYSGOOD | PTRACE_O_TRACEFORK | PTRACE_O_TRACEVFORK |
                               PTRACE_O_TRACECLONE | PTRACE_O_TRACEEXEC | PTRACE_O_EXITKILL;
constexpr int kSyscallStop = SIGTRAP | 0x80;
constexpr std::uint64_t kX32CallBit = 0x40000000;
constexpr int kPassedOn[] = {SIGINT, SIGTERM, SIGHUP};

enum class OpenCall { kNone, kOpen, kOpenAt, kOpenAt2 };

// The open calls by the numbers of the process's own ABI: a 32-bit
// program's calls come through with the 32-bit table's numbers.
OpenCall ClassifyCall(std::uint32_t arch, std::uint64_t number) {
  if (arch == AUDIT_ARCH_I386) {
    switch (number) {
      case 5:
        return OpenCall::kOpen;
      case 295:
        return OpenCall::kOpenAt;
      case 437:
        return OpenCall::kOpenAt2;
      default:
        return OpenCall::kNone;
    }
  }
  if (arch != AUDIT_ARCH_X86_64) return OpenCall::kNone;
  switch (number & ~kX32CallBit) {
    case SYS_open:
      return OpenCall::kOpen;
    case SYS_openat:
      return OpenCall::kOpenAt;
    case SYS_openat2:
      return OpenCall::kOpenAt2;
    default:
      return OpenCall::kNone;
  }
}

// What the child reports up its pipe when it cannot become the program.
struct ChildFailure {
  TraceFailure failure;
  int error;
};

// The child's side: be traced, wait for the tracer, become the program.
[[noreturn]] void RunTraced(std::vector<char*>& argv, const sigset_t& mask, int errorPipe) {
  pthread_sigmask(SIG_SETMASK, &mask, nullptr);
  ChildFailure failure{TraceFailure::kCannotTrace, 0};
  if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) == 0) {
    raise(SIGSTOP);
    execvp(argv[0], argv.data());
    failure.failure = TraceFailure::kCannotRun;
  }
  failure.error = errno;
  if (write(errorPipe, &failure, sizeof failure) < 0) _exit(127);
  _exit(127);
}

std::string ReadLink(const std::string& link) {
  char target[4096];
  const ssize_t length = readlink(link.c_str(), target, sizeof target);
  if (length <= 0 || length == sizeof target) return {};
  return std::string(target, static_cast<std::size_t>(length));
}

bool IsRegularFile(const std::string& path) {
  struct stat status {};
  return !path.empty() && path[0] == '/' && stat(path.c_str(), &status) == 0 &&
         S_ISREG(status.st_mode);
}

// The privilege the program's file would grant at exec, which tracing
// withholds; empty when it grants none.
std::string WithheldPrivilege(const std::string& program) {
  struct stat status {};
  if (stat(program.c_str(), &status) != 0) return {};
  if ((status.st_mode & S_ISUID) != 0 && status.st_uid != geteuid()) return "set-user-ID";
  if ((status.st_mode & S_ISGID) != 0 && (status.st_mode & S_IXGRP) != 0 &&
      status.st_gid != getegid()) {
    return "set-group-ID";
  }
  if (getxattr(program.c_str(), "security.capability", nullptr, 0) > 0) {
    return "file capabilities";
  }
  return {};
}

pid_t ThreadGroupOf(pid_t tid) {
  std::ifstream status("/proc/" + std::to_string(tid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("Tgid:", 0) == 0) return static_cast<pid_t>(std::stol(line.substr(5)));
  }
  return tid;
}

class Tracer {
 public:
  Tracer(pid_t child, double seconds, const TraceListener& listener)
      : child_(child), listener_(listener), limited_(seconds > 0) {
    deadline_ = Clock::now() +
                std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    tracees_.insert(child);
    started_.insert(child);
  }

  // Follows every tracee until all have ended or, at the deadline, have
  // been let go.
  void Run(const sigset_t& waited, TraceOutcome& outcome) {
    ptrace(PTRACE_SETOPTIONS, child_, nullptr, kTraceOptions);
    ptrace(PTRACE_SYSCALL, child_, nullptr, nullptr);
    while (!tracees_.empty()) {
      int status = 0;
      const pid_t tid = waitpid(-1, &status, __WALL | WNOHANG);
      if (tid < 0) break;
      if (tid == 0) {
        WaitForEvent(waited, outcome);
        continue;
      }
      Handle(tid, status, outcome);
    }
    for (pid_t tid : released_) kill(tid, SIGCONT);  // a stop sent to let go may remain
  }

 private:
  void WaitForEvent(const sigset_t& waited, TraceOutcome& outcome) {
    timespec timeout{0, 100'000'000};
    if (limited_ && !outcome.timedOut) {
      const auto left = deadline_ - Clock::now();
      if (left <= Clock::duration::zero()) return LetGo(outcome);
      if (left < std::chrono::milliseconds(100)) {
        timeout.tv_nsec = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
      }
    }
    siginfo_t info{};
    const int signal = sigtimedwait(&waited, &info, &timeout);
    if (signal > 0 && signal != SIGCHLD) PassOn(signal, info);
  }

  // A signal from the terminal reached the whole foreground group, the
  // program included; one sent to this process alone is sent on.
  void PassOn(int signal, const siginfo_t& info) {
    if (info.si_code == SI_KERNEL) return;
    std::unordered_set<pid_t> processes;
    for (pid_t tid : tracees_) processes.insert(ThreadGroupOf(tid));
    for (pid_t process : processes) kill(process, signal);
  }

  // Each tracee is stopped and detached at its next stop, and runs on.
  void LetGo(TraceOutcome& outcome) {
    outcome.timedOut = true;
    for (pid_t tid : tracees_) syscall(SYS_tkill, tid, SIGSTOP);
  }

  void Handle(pid_t tid, int status, TraceOutcome& outcome) {
    if (WIFEXITED(status) || WIFSIGNALED(status)) {
      tracees_.erase(tid);
      pendingOpens_.erase(tid);
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
      AtSyscallStop(tid);
    } else if (signal == SIGTRAP && event != 0) {
      AtEvent(tid, event);
    } else if (signal == SIGSTOP && started_.insert(tid).second) {
      // A new process or thread's first stop: not the program's signal.
    } else {
      deliver = signal;
    }
    ptrace(PTRACE_SYSCALL, tid, nullptr, deliver);
  }

  // An open call's flags are taken at its entry; at its end the new
  // descriptor tells which file it opened.
  void AtSyscallStop(pid_t tid) {
    __ptrace_syscall_info info{};
    if (ptrace(PTRACE_GET_SYSCALL_INFO, tid, sizeof info, &info) <= 0) return;
    if (info.op == PTRACE_SYSCALL_INFO_ENTRY) {
      pendingOpens_.erase(tid);
      std::uint64_t flags = 0;
      switch (ClassifyCall(info.arch, info.entry.nr)) {
        case OpenCall::kNone:
          return;
        case OpenCall::kOpen:
          flags = info.entry.args[1];
          break;
        case OpenCall::kOpenAt:
          flags = info.entry.args[2];
          break;
        case OpenCall::kOpenAt2: {
          errno = 0;  // the first member of struct open_how is the flags
          const long word = ptrace(PTRACE_PEEKDATA, tid, info.entry.args[2], nullptr);
          if (errno != 0) return;
          flags = static_cast<std::uint64_t>(word);
          break;
        }
      }
      pendingOpens_[tid] = flags;
      return;
    }
    if (info.op != PTRACE_SYSCALL_INFO_EXIT) return;
    const auto pending = pendingOpens_.find(tid);
    if (pending == pendingOpens_.end()) return;
    const std::uint64_t flags = pending->second;
    pendingOpens_.erase(pending);
    if (info.exit.is_error != 0 || info.exit.rval < 0) return;
    if ((flags & O_ACCMODE) == O_WRONLY || (flags & O_PATH) != 0) return;
    const std::string path =
        ReadLink("/proc/" + std::to_string(tid) + "/fd/" + std::to_string(info.exit.rval));
    if (IsRegularFile(path)) listener_.read(path);
  }

  void AtEvent(pid_t tid, int event) {
    unsigned long message = 0;
    if (ptrace(PTRACE_GETEVENTMSG, tid, nullptr, &message) != 0) return;
    if (event == PTRACE_EVENT_EXEC) return AtExec(tid, static_cast<pid_t>(message));
    if (event == PTRACE_EVENT_FORK || event == PTRACE_EVENT_VFORK || event == PTRACE_EVENT_CLONE) {
      tracees_.insert(static_cast<pid_t>(message));
    }
  }

  // The system itself reads the program and its loader, without an open
  // call to see: they come from the new image's mappings.
  void AtExec(pid_t tid, pid_t formerTid) {
    if (formerTid != tid) {  // a thread that ran exec takes over the leader's number
      tracees_.erase(formerTid);
      pendingOpens_.erase(formerTid);
    }
    pendingOpens_.erase(tid);
    const std::string program = ReadLink("/proc/" + std::to_string(tid) + "/exe");
    if (!IsRegularFile(program)) return;
    listener_.read(program);
    const std::string privilege = WithheldPrivilege(program);
    if (!privilege.empty() && listener_.unprivileged) listener_.unprivileged(program, privilege);
    std::ifstream maps("/proc/" + std::to_string(tid) + "/maps");
    std::unordered_set<std::string> told{program};
    for (std::string line; std::getline(maps, line);) {
      const std::size_t slash = line.find(" /");
      if (slash == std::string::npos) continue;
      const std::string path = line.substr(slash + 1);
      if (told.insert(path).second && IsRegularFile(path)) listener_.read(path);
    }
  }

  pid_t child_;
  const TraceListener& listener_;
  bool limited_;
  Clock::time_point deadline_;
  std::unordered_set<pid_t> tracees_;
  std::unordered_set<pid_t> started_;                      // past their first stop
  std::unordered_map<pid_t, std::uint64_t> pendingOpens_;  // flags of an open call under way
  std::vector<pid_t> released_;
};

// Blocks the signals the tracer waits for, and gives the mask back.
class BlockedSignals {
 public:
  BlockedSignals() {
    sigemptyset(&waited_);
    sigaddset(&waited_, SIGCHLD);
    for (int signal : kPassedOn) sigaddset(&waited_, signal);
    pthread_sigmask(SIG_BLOCK, &waited_, &previous_);
  }
  // One that came after the traced processes had all ended had nothing
  // to be passed on to; it is dropped rather than ending the recorder
  // before it has written what it saw.
  ~BlockedSignals() {
    sigset_t passedOn;
    sigemptyset(&passedOn);
    for (int signal : kPassedOn) sigaddset(&passedOn, signal);
    const timespec now{0, 0};
    while (sigtimedwait(&passedOn, nullptr, &now) > 0) {
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  BlockedSignals(const BlockedSignals&) = delete;
  BlockedSignals& operator=(const BlockedSignals&) = delete;

  const sigset_t& Waited() const { return waited_; }
  const sigset_t& Previous() const { return previous_; }

 private:
  sigset_t waited_;
  sigset_t previous_;
};

}  // namespace

TraceOutcome TraceFileOpens(const std::vector<std::string>& program, double seconds,
                            const TraceListener& listener) {
  TraceOutcome outcome;
  if (program.empty()) {
    outcome.failure = TraceFailure::kCannotRun;
    outcome.error = EINVAL;
    return outcome;
  }
  std::vector<char*> argv;
  for (const std::string& word : program) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);

  int errorPipe[2];
  if (pipe2(errorPipe, O_CLOEXEC) != 0) {
    outcome.failure = TraceFailure::kCannotTrace;
    outcome.error = errno;
    return outcome;
  }
  const BlockedSignals signals;
  outcome.startedAt = FileClockNextTick();
  const pid_t child = fork();
  if (child == 0) RunTraced(argv, signals.Previous(), errorPipe[1]);
  close(errorPipe[1]);
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFSTOPPED(status)) {
    outcome.failure = TraceFailure::kCannotTrace;
    outcome.error = child < 0 ? errno : EPERM;
  } else {
    Tracer(child, seconds, listener).Run(signals.Waited(), outcome);
  }
  ChildFailure failure{};
  if (read(errorPipe[0], &failure, sizeof failure) == sizeof failure) {
    outcome.failure = failure.failure;
    outcome.error = failure.error;
  }
  close(errorPipe[0]);
  return outcome;
}

}  // namespace platform

#else

namespace platform {

TraceOutcome TraceFileOpens(const std::vector<std::string>&, double, const TraceListener&) {
  TraceOutcome outcome;
  outcome.failure = TraceFailure::kCannotTrace;
  outcome.error = ENOSYS;
  return outcome;
}

}  // namespace platform

#endif
