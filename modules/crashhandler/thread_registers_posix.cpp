#include "thread_registers_posix.h"

#include <sys/ptrace.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <time.h>
#include <ucontext.h>

#include <cerrno>
#include <cstring>

namespace crashhandler {
namespace {

constexpr long kPollNanoseconds = 1'000'000;

std::string Failed(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

#if defined(__x86_64__)

std::optional<ThreadRegisters> ReadSignalContext(const ProcessMemory& memory,
                                                 std::uint64_t address) {
  ucontext_t context;
  if (address == 0 || !memory.Read(address, &context, sizeof context)) return std::nullopt;
  const greg_t* g = context.uc_mcontext.gregs;
  ThreadRegisters registers;
  const int order[kDwarfRegisterCount] = {REG_RAX, REG_RDX, REG_RCX, REG_RBX, REG_RSI, REG_RDI,
                                          REG_RBP, REG_RSP, REG_R8,  REG_R9,  REG_R10, REG_R11,
                                          REG_R12, REG_R13, REG_R14, REG_R15, REG_RIP};
  for (std::size_t i = 0; i < kDwarfRegisterCount; ++i) {
    registers.dwarf[i] = static_cast<std::uint64_t>(g[order[i]]);
  }
  registers.flags = static_cast<std::uint64_t>(g[REG_EFL]);
  return registers;
}

std::optional<ThreadRegisters> HeldThreadRegisters(pid_t thread, std::string& problem) {
  user_regs_struct user{};
  if (ptrace(PTRACE_GETREGS, thread, nullptr, &user) != 0) {
    problem = errno == ESRCH ? std::string("not stopped by the crash host")
                             : Failed("registers unreadable");
    return std::nullopt;
  }
  ThreadRegisters registers;
  registers.dwarf = {user.rax, user.rdx, user.rcx, user.rbx, user.rsi, user.rdi,
                     user.rbp, user.rsp, user.r8,  user.r9,  user.r10, user.r11,
                     user.r12, user.r13, user.r14, user.r15, user.rip};
  registers.flags = user.eflags;
  return registers;
}

std::optional<ThreadRegisters> StoppedThread::Registers() {
  if (!stopped_) return std::nullopt;
  return HeldThreadRegisters(thread_, problem_);
}

#else

std::optional<ThreadRegisters> ReadSignalContext(const ProcessMemory&, std::uint64_t) {
  return std::nullopt;
}

std::optional<ThreadRegisters> HeldThreadRegisters(pid_t, std::string& problem) {
  problem = "registers of this processor are not read";
  return std::nullopt;
}

std::optional<ThreadRegisters> StoppedThread::Registers() {
  return HeldThreadRegisters(thread_, problem_);
}

#endif

StoppedThread::StoppedThread(pid_t thread, Deadline deadline) : thread_(thread) {
  // Seized rather than attached: no SIGSTOP is left behind in the process.
  if (ptrace(PTRACE_SEIZE, thread, nullptr, nullptr) != 0) {
    problem_ = Failed("cannot attach");
    return;
  }
  attached_ = true;
  if (ptrace(PTRACE_INTERRUPT, thread, nullptr, nullptr) != 0) {
    problem_ = Failed("cannot stop");
    return;
  }
  WaitForStop(deadline);
}

void StoppedThread::WaitForStop(Deadline deadline) {
  const timespec poll{0, kPollNanoseconds};
  for (;;) {
    int status = 0;
    const pid_t ended = waitpid(thread_, &status, __WALL | WNOHANG);
    if (ended == thread_ && WIFSTOPPED(status)) {
      stopped_ = true;
      // A stop for a signal on its way keeps that signal for the detach.
      if ((status >> 16) != PTRACE_EVENT_STOP) pendingSignal_ = WSTOPSIG(status);
      return;
    }
    if (ended == thread_) {
      attached_ = false;
      problem_ = "the thread ended";
      return;
    }
    if (ended < 0 && errno != EINTR) {
      problem_ = Failed("cannot wait for the thread");
      return;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      problem_ = "the thread did not stop in time";
      return;
    }
    nanosleep(&poll, nullptr);
  }
}

StoppedThread::~StoppedThread() {
  if (!attached_) return;
  ptrace(PTRACE_DETACH, thread_, nullptr,
         reinterpret_cast<void*>(static_cast<std::uintptr_t>(pendingSignal_)));
}

}  // namespace crashhandler
