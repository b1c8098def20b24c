#include "crash_host_posix.h"

#include <crashhost/exception_information.h>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "crash_notice_posix.h"
#include "executable_path_posix.h"

extern char** environ;

namespace platform {
namespace {

constexpr long kPollNanoseconds = 1'000'000;

bool CopyPath(const std::string& path, char (&out)[4096]) {
  if (path.size() >= sizeof(out) || path.find('\0') != std::string::npos) return false;
  std::memcpy(out, path.c_str(), path.size() + 1);
  return true;
}

long long NowMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

// The host's end, at most `milliseconds` later; false when it still runs.
bool Reap(pid_t host, int milliseconds, int& status) {
  const timespec poll{0, kPollNanoseconds};
  for (int waited = 0;; ++waited) {
    const pid_t ended = waitpid(host, &status, WNOHANG);
    if (ended == host) return true;
    // Children reaped by the system (SIGCHLD ignored): no status to be had.
    if (ended < 0 && errno == ECHILD) {
      status = -1;
      return kill(host, 0) != 0;
    }
    if (waited >= milliseconds) return false;
    nanosleep(&poll, nullptr);
  }
}

constexpr std::size_t kChildStackSize = 16 * 1024;

struct HostStart {
  const char* path;
  char** argv;
  int channel;
  volatile int error;
  sigset_t mask;
};

// In the child, before its exec: default actions for every signal, then
// nothing blocked, for the host.
int StartHost(void* argument) {
  HostStart& start = *static_cast<HostStart*>(argument);
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  for (int signal = 1; signal < NSIG; ++signal) {
    struct sigaction current {};
    if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN &&
        current.sa_handler != SIG_DFL) {
      sigaction(signal, &fallback, nullptr);
    }
  }
  if (start.channel == kCrashHostChannel) {
    fcntl(start.channel, F_SETFD, 0);
  } else {
    dup2(start.channel, kCrashHostChannel);
  }
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  execve(start.path, start.argv, environ);
  start.error = errno;
  _exit(127);
}

enum class Answer { kDone, kClosed, kTimeOut };

// Waits for the host's word on the channel.
Answer AwaitHost(int channel) {
  const long long deadline = NowMilliseconds() + kCrashHostTimeLimitSeconds * 1000LL;
  for (;;) {
    const long long left = deadline - NowMilliseconds();
    if (left <= 0) return Answer::kTimeOut;
    pollfd wait{channel, POLLIN, 0};
    const int ready = poll(&wait, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return Answer::kClosed;
    if (ready == 0) continue;
    char word = 0;
    const ssize_t got = read(channel, &word, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got == 1 && word == kCrashHostDone) return Answer::kDone;
    if (got != 1) return Answer::kClosed;
  }
}

// Why a host that closed the channel gave no report.
void SayWhyHostEnded(int signal, pid_t host) {
  CrashNotice notice;
  notice.Start(signal).Text("no crash report: ");
  int status = 0;
  if (!Reap(host, 1000, status)) {
    notice.Text("the crash host closed its channel without a report").Write();
    return;
  }
  if (status == -1) {
    notice.Text("the crash host ended without a report").Write();
  } else if (WIFSIGNALED(status)) {
    notice.Text("the crash host died of ").Signal(WTERMSIG(status)).Write();
  } else {
    const int code = WEXITSTATUS(status);
    switch (code) {
      case kCrashHostExitNoModule:
        notice.Text("the crash host cannot load the crash handler module");
        break;
      case kCrashHostExitModuleFailed:
        notice.Text("the crash handler module failed");
        break;
      case kCrashHostExitProcessGone:
        notice.Text("the crash host lost sight of this process");
        break;
      default:
        notice.Text("the crash host ended with exit status ").Decimal(code);
    }
    notice.Write();
  }
}

}  // namespace

// The program's path is absolute (the system's own link to it).
std::string CrashHostPath() {
  const std::string& executable = ExecutablePath();
  const std::size_t slash = executable.rfind('/');
  if (slash == std::string::npos) return std::string();
  return executable.substr(0, slash + 1) + kCrashHostFileName;
}

bool CrashHostCall::Prepare(const std::string& hostPath, const std::string& modulePath,
                            const void* context) {
  if (!CopyPath(hostPath, host_) || !CopyPath(modulePath, module_)) return false;
  FormatAddress(reinterpret_cast<std::uintptr_t>(context), context_);
  return true;
}

void CrashHostCall::Run(int signal, const siginfo_t* info, const void* machineContext,
                        bool last) const {
  char processId[24], threadId[24], signalNumber[24], signalCode[24], faultAddress[24],
      signalInfo[24], context[24];
  FormatDecimal(getpid(), processId);
  FormatDecimal(syscall(SYS_gettid), threadId);
  FormatDecimal(signal, signalNumber);
  FormatDecimal(info != nullptr ? info->si_code : 0, signalCode);
  FormatAddress(info != nullptr ? reinterpret_cast<std::uintptr_t>(info->si_addr) : 0,
                faultAddress);
  FormatAddress(reinterpret_cast<std::uintptr_t>(info), signalInfo);
  FormatAddress(reinterpret_cast<std::uintptr_t>(machineContext), context);

  char* argv[kCrashHostArgumentCount + 1] = {};
  argv[kCrashHostProgram] = const_cast<char*>(host_);
  argv[kCrashHostProcessId] = processId;
  argv[kCrashHostThreadId] = threadId;
  argv[kCrashHostModule] = const_cast<char*>(module_);
  argv[kCrashHostContext] = const_cast<char*>(context_);
  argv[kCrashHostSignal] = signalNumber;
  argv[kCrashHostSignalCode] = signalCode;
  argv[kCrashHostFaultAddress] = faultAddress;
  argv[kCrashHostSignalInfo] = signalInfo;
  argv[kCrashHostMachineContext] = context;

  if (host_[0] == '\0') {
    CrashNotice().Start(signal).Text("no crash report: the crash host's folder is unknown").Write();
    return;
  }
  int channel[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, channel) != 0) {
    CrashNotice()
        .Start(signal)
        .Text("no crash report: no channel to the crash host: ")
        .Error(errno)
        .Write();
    return;
  }
  // A child that shares our memory until it execs, on a stack of its own:
  // no copy of a large process's page tables on the way to the report (the
  // way posix_spawn starts a program), and its exec error lands here. No
  // signal may reach it before the exec, with our handlers in our memory.
  HostStart start{host_, argv, channel[1], 0, {}};
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &start.mask);
  alignas(64) char childStack[kChildStackSize];
  const pid_t host =
      clone(StartHost, childStack + sizeof childStack, CLONE_VM | CLONE_VFORK | SIGCHLD, &start);
  const int startError = host < 0 ? errno : start.error;
  pthread_sigmask(SIG_SETMASK, &start.mask, nullptr);
  close(channel[1]);
  const int ours = channel[0];
  if (host < 0 || startError != 0) {
    const int error = startError;
    int status = 0;
    if (host > 0) Reap(host, 1000, status);
    close(ours);
    CrashNotice()
        .Start(signal)
        .Text("no crash report: cannot start ")
        .Text(host_)
        .Text(": ")
        .Error(error)
        .Write();
    return;
  }
  // Yama's ptrace scope lets only ancestors trace unless we name the host.
  prctl(PR_SET_PTRACER, static_cast<unsigned long>(host), 0, 0, 0);
  const char go = kCrashHostGo;
  while (send(ours, &go, 1, MSG_NOSIGNAL) < 0 && errno == EINTR) {
  }

  switch (AwaitHost(ours)) {
    case Answer::kDone:
      if (last) return;  // the host ends with us, and our threads with it
      // The next host needs the threads: this one lets them go as it ends.
      close(ours);
      {
        int status = 0;
        if (!Reap(host, 1000, status)) kill(host, SIGKILL);
      }
      return;
    case Answer::kClosed:
      close(ours);
      SayWhyHostEnded(signal, host);
      return;
    case Answer::kTimeOut:
      kill(host, SIGKILL);
      close(ours);
      {
        int status = 0;
        Reap(host, 1000, status);
      }
      CrashNotice()
          .Start(signal)
          .Text("no crash report: the crash host did not finish within ")
          .Decimal(kCrashHostTimeLimitSeconds)
          .Text(" s and was ended")
          .Write();
      return;
  }
}

}  // namespace platform
