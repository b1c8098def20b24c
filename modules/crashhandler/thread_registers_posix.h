#pragma once

#include <sys/types.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "process_memory.h"

namespace crashhandler {

// The general registers of an x86-64 thread in DWARF numbering, which the
// unwinder takes as they are: rax rdx rcx rbx rsi rdi rbp rsp r8-r15 rip.
inline constexpr std::size_t kDwarfRegisterCount = 17;
inline constexpr std::size_t kDwarfProgramCounter = 16;
inline constexpr std::array<const char*, kDwarfRegisterCount> kDwarfRegisterNames = {
    "rax", "rdx", "rcx", "rbx", "rsi", "rdi", "rbp", "rsp", "r8",
    "r9",  "r10", "r11", "r12", "r13", "r14", "r15", "rip"};

struct ThreadRegisters {
  std::array<std::uint64_t, kDwarfRegisterCount> dwarf{};
  std::uint64_t flags = 0;
};

// The registers at the fault, from the machine context that the crashed
// process's signal handler was given, at `address` in that process.
std::optional<ThreadRegisters> ReadSignalContext(const ProcessMemory& memory,
                                                 std::uint64_t address);

// The registers of a thread of another process that the calling thread
// holds stopped under ptrace; none, with the reason, when they cannot be read.
std::optional<ThreadRegisters> HeldThreadRegisters(pid_t thread, std::string& problem);

// A thread of another process held stopped under ptrace while this lives;
// detaching hands back a signal it was stopped with.
class StoppedThread {
 public:
  using Deadline = std::chrono::steady_clock::time_point;
  StoppedThread(pid_t thread, Deadline deadline);
  ~StoppedThread();
  StoppedThread(const StoppedThread&) = delete;
  StoppedThread& operator=(const StoppedThread&) = delete;

  // None when the thread could not be stopped or read; Problem() says why.
  std::optional<ThreadRegisters> Registers();
  const std::string& Problem() const { return problem_; }

 private:
  void WaitForStop(Deadline deadline);

  pid_t thread_;
  bool attached_ = false;
  bool stopped_ = false;
  int pendingSignal_ = 0;
  std::string problem_;
};

}  // namespace crashhandler
