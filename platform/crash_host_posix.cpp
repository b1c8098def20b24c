#include "crash_host_posix.h"

#include <crashhost/exception_information.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "executable_path_posix.h"

extern char** environ;

namespace platform {
namespace {

constexpr long kPollNanoseconds = 10'000'000;
constexpr int kPollsPerSecond = 100;

// Async-signal-safe number texts: "-123", "0x7ffd1234".
void FormatDecimal(long long value, char (&out)[24]) {
  char digits[24];
  int count = 0;
  unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                           : static_cast<unsigned long long>(value);
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  int at = 0;
  if (value < 0) out[at++] = '-';
  while (count > 0) out[at++] = digits[--count];
  out[at] = '\0';
}

void FormatAddress(std::uintptr_t value, char (&out)[24]) {
  static constexpr char kHex[] = "0123456789abcdef";
  char digits[24];
  int count = 0;
  do {
    digits[count++] = kHex[value & 0xF];
    value >>= 4;
  } while (value != 0);
  int at = 0;
  out[at++] = '0';
  out[at++] = 'x';
  while (count > 0) out[at++] = digits[--count];
  out[at] = '\0';
}

bool CopyPath(const std::string& path, char (&out)[4096]) {
  if (path.size() >= sizeof(out) || path.find('\0') != std::string::npos) return false;
  std::memcpy(out, path.c_str(), path.size() + 1);
  return true;
}

// Waits for the host to end, polling, at most the time limit; a host that
// takes longer (a dialog left open) goes on after we are gone.
void WaitForHost(pid_t host) {
  const timespec poll{0, kPollNanoseconds};
  for (int polls = 0; polls < kCrashHostTimeLimitSeconds * kPollsPerSecond; ++polls) {
    int status = 0;
    const pid_t ended = waitpid(host, &status, WNOHANG);
    if (ended == host) return;
    // Children reaped by the system (SIGCHLD ignored): watch the pid instead.
    if (ended < 0 && errno == ECHILD && kill(host, 0) != 0 && errno == ESRCH) return;
    nanosleep(&poll, nullptr);
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

void CrashHostCall::Run(int signal, const siginfo_t* info, const void* machineContext) const {
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

  // The host waits on the pipe until it has been named this process's
  // tracer, so that its first read of our memory is allowed.
  int gate[2];
  if (pipe2(gate, O_CLOEXEC) != 0) return;
  const pid_t host = _Fork();
  if (host == 0) {
    close(gate[1]);
    char ignored = 0;
    while (read(gate[0], &ignored, 1) < 0 && errno == EINTR) {
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    execve(host_, argv, environ);
    _exit(127);
  }
  close(gate[0]);
  if (host > 0) prctl(PR_SET_PTRACER, static_cast<unsigned long>(host), 0, 0, 0);
  close(gate[1]);
  if (host > 0) WaitForHost(host);
}

}  // namespace platform
