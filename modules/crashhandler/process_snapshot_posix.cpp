#include "process_snapshot_posix.h"

#include <cxxabi.h>
#include <dirent.h>
#include <elfutils/libdwfl.h>
#include <sys/uio.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <system_error>

#include "process_memory_posix.h"
#include "thread_registers_posix.h"

namespace crashhandler {
namespace {

using Clock = std::chrono::steady_clock;

struct DwflCloser {
  void operator()(Dwfl* dwfl) const { dwfl_end(dwfl); }
};
using DwflHandle = std::unique_ptr<Dwfl, DwflCloser>;

struct FreeCloser {
  void operator()(char* text) const { std::free(text); }
};

std::string DwflError() {
  const char* message = dwfl_errmsg(-1);
  return message != nullptr ? message : "unknown error";
}

// Symbols and unwind tables come from the modules' own files: no search for
// separate debug files, which may go out to the network.
int NoSeparateDebugInfo(Dwfl_Module*, void**, const char*, Dwarf_Addr, const char*, const char*,
                        GElf_Word, char**) {
  return -1;
}

const Dwfl_Callbacks kDwflCallbacks = {dwfl_linux_proc_find_elf, NoSeparateDebugInfo, nullptr,
                                       nullptr};

// The process's threads, the crashed one first, at most `limit`.
std::vector<pid_t> ThreadIds(pid_t process, pid_t crashed, std::size_t limit,
                             std::vector<std::string>& problems) {
  std::vector<pid_t> others;
  std::error_code error;
  const std::filesystem::path tasks = "/proc/" + std::to_string(process) + "/task";
  for (const auto& entry : std::filesystem::directory_iterator(tasks, error)) {
    const std::string name = entry.path().filename().string();
    char* end = nullptr;
    const long id = std::strtol(name.c_str(), &end, 10);
    if (*end == '\0' && id > 0 && id != crashed) others.push_back(static_cast<pid_t>(id));
  }
  if (error) problems.push_back("the thread list: " + error.message());
  std::sort(others.begin(), others.end());
  std::vector<pid_t> threads{crashed};
  for (pid_t id : others) {
    if (threads.size() == limit) {
      problems.push_back(std::to_string(others.size() + 1 - limit) + " more threads");
      break;
    }
    threads.push_back(id);
  }
  return threads;
}

// What the unwinder's callbacks share.
struct Walk {
  pid_t process = 0;
  pid_t crashed = 0;
  std::optional<ThreadRegisters> crashedRegisters;
  std::vector<pid_t> threads;
  std::size_t nextThread = 0;
  Clock::time_point deadline;
  bool threadsHeld = false;
  std::map<pid_t, std::unique_ptr<StoppedThread>> stopped;
  std::map<pid_t, std::string> problems;
};

Walk& WalkOf(void* argument) { return *static_cast<Walk*>(argument); }

pid_t NextThread(Dwfl*, void* argument, void** threadArgument) {
  Walk& walk = WalkOf(argument);
  *threadArgument = argument;
  if (walk.nextThread >= walk.threads.size()) return 0;
  return walk.threads[walk.nextThread++];
}

bool GetThread(Dwfl*, pid_t thread, void* argument, void** threadArgument) {
  Walk& walk = WalkOf(argument);
  *threadArgument = argument;
  return std::find(walk.threads.begin(), walk.threads.end(), thread) != walk.threads.end();
}

bool MemoryRead(Dwfl*, Dwarf_Addr address, Dwarf_Word* result, void* argument) {
  return PosixProcessMemory(WalkOf(argument).process).Read(address, result, sizeof *result);
}

bool SetInitialRegisters(Dwfl_Thread* thread, void* argument) {
  Walk& walk = WalkOf(argument);
  const pid_t id = dwfl_thread_tid(thread);
  std::optional<ThreadRegisters> registers;
  if (id == walk.crashed) registers = walk.crashedRegisters;
  if (!registers && walk.threadsHeld && id != walk.crashed) {
    registers = HeldThreadRegisters(id, walk.problems[id]);
  } else if (!registers) {
    auto stopped = std::make_unique<StoppedThread>(id, walk.deadline);
    registers = stopped->Registers();
    if (!registers) walk.problems[id] = stopped->Problem();
    walk.stopped[id] = std::move(stopped);
  }
  if (!registers) return false;
  if (!dwfl_thread_state_registers(thread, 0, kDwarfRegisterCount, registers->dwarf.data())) {
    return false;
  }
  dwfl_thread_state_register_pc(thread, registers->dwarf[kDwarfProgramCounter]);
  return true;
}

void ThreadDetach(Dwfl_Thread* thread, void* argument) {
  WalkOf(argument).stopped.erase(dwfl_thread_tid(thread));
}

const Dwfl_Thread_Callbacks kThreadCallbacks = {NextThread,          GetThread, MemoryRead,
                                                SetInitialRegisters, nullptr,   ThreadDetach};

std::string Demangled(const char* symbol) {
  int status = 0;
  const std::unique_ptr<char, FreeCloser> plain(
      abi::__cxa_demangle(symbol, nullptr, nullptr, &status));
  return status == 0 && plain ? std::string(plain.get()) : std::string(symbol);
}

StackFrame DescribeFrame(Dwfl* dwfl, Dwarf_Addr address, bool activation) {
  StackFrame frame;
  frame.address = address;
  // A return address may be the first byte after the call's function.
  const Dwarf_Addr inside = activation || address == 0 ? address : address - 1;
  Dwfl_Module* module = dwfl_addrmodule(dwfl, inside);
  if (module == nullptr) return frame;
  Dwarf_Addr start = 0;
  const char* name =
      dwfl_module_info(module, nullptr, &start, nullptr, nullptr, nullptr, nullptr, nullptr);
  frame.module = name != nullptr ? std::filesystem::path(name).filename().string() : "?";
  frame.moduleOffset = address - start;
  GElf_Off offset = 0;
  GElf_Sym symbol{};
  const char* function =
      dwfl_module_addrinfo(module, inside, &offset, &symbol, nullptr, nullptr, nullptr);
  if (function != nullptr) {
    frame.function = Demangled(function);
    frame.functionOffset = offset + (address - inside);
  }
  return frame;
}

struct FrameWalk {
  Dwfl* dwfl;
  ThreadStack* stack;
  std::size_t limit;
  Clock::time_point deadline;
};

int OnFrame(Dwfl_Frame* state, void* argument) {
  FrameWalk& walk = *static_cast<FrameWalk*>(argument);
  Dwarf_Addr address = 0;
  bool activation = false;
  if (!dwfl_frame_pc(state, &address, &activation)) return DWARF_CB_ABORT;
  walk.stack->frames.push_back(DescribeFrame(walk.dwfl, address, activation));
  if (walk.stack->frames.size() >= walk.limit) {
    walk.stack->problem = "stopped after " + std::to_string(walk.limit) + " frames";
    return DWARF_CB_ABORT;
  }
  if (Clock::now() >= walk.deadline) {
    walk.stack->problem = "stopped at the time limit";
    return DWARF_CB_ABORT;
  }
  return DWARF_CB_OK;
}

ThreadStack UnwindThread(Dwfl* dwfl, Walk& walk, pid_t id, std::size_t frameLimit) {
  ThreadStack stack;
  stack.threadId = id;
  stack.crashed = id == walk.crashed;
  if (Clock::now() >= walk.deadline) {
    stack.problem = "not read: the time limit was reached";
    return stack;
  }
  FrameWalk frames{dwfl, &stack, frameLimit, walk.deadline};
  const int result = dwfl_getthread_frames(dwfl, id, OnFrame, &frames);
  if (result == -1 && stack.problem.empty()) {
    const auto problem = walk.problems.find(id);
    stack.problem =
        problem != walk.problems.end() ? problem->second : "unwinding stopped: " + DwflError();
  }
  return stack;
}

std::string BuildId(Dwfl_Module* module) {
  GElf_Addr bias = 0;
  dwfl_module_getelf(module, &bias);
  const unsigned char* bits = nullptr;
  GElf_Addr where = 0;
  const int length = dwfl_module_build_id(module, &bits, &where);
  std::string text;
  for (int i = 0; i < length; ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", bits[i]);
    text += pair;
  }
  return text;
}

int OnModule(Dwfl_Module* module, void**, const char* name, Dwarf_Addr start, void* argument) {
  auto& modules = *static_cast<std::vector<ModuleRange>*>(argument);
  ModuleRange range;
  Dwarf_Addr end = 0;
  dwfl_module_info(module, nullptr, nullptr, &end, nullptr, nullptr, nullptr, nullptr);
  range.start = start;
  range.end = end;
  range.path = name != nullptr ? name : "?";
  range.buildId = BuildId(module);
  modules.push_back(std::move(range));
  return DWARF_CB_OK;
}

std::vector<NamedRegister> Named(const ThreadRegisters& registers) {
  std::vector<NamedRegister> named;
  for (std::size_t i = 0; i < kDwarfRegisterCount; ++i) {
    named.push_back({kDwarfRegisterNames[i], registers.dwarf[i]});
  }
  named.push_back({"eflags", registers.flags});
  return named;
}

}  // namespace

ProcessSnapshot TakeProcessSnapshot(pid_t process, pid_t crashedThread,
                                    std::uint64_t machineContext, const SnapshotLimits& limits,
                                    bool threadsHeld) {
  ProcessSnapshot snapshot;
  Walk walk;
  walk.threadsHeld = threadsHeld;
  walk.process = process;
  walk.crashed = crashedThread;
  walk.deadline = Clock::now() + limits.time;
  walk.crashedRegisters = ReadSignalContext(PosixProcessMemory(process), machineContext);
  if (walk.crashedRegisters) {
    snapshot.registers = Named(*walk.crashedRegisters);
  } else {
    snapshot.problems.push_back(
        "the registers at the fault; the crashed thread's stack starts in its signal handler");
  }
  walk.threads = ThreadIds(process, crashedThread, limits.threads, snapshot.problems);

  const DwflHandle dwfl(dwfl_begin(&kDwflCallbacks));
  if (!dwfl) {
    snapshot.problems.push_back("stacks and modules: " + DwflError());
    return snapshot;
  }
  if (dwfl_linux_proc_report(dwfl.get(), process) != 0 ||
      dwfl_report_end(dwfl.get(), nullptr, nullptr) != 0) {
    snapshot.problems.push_back("stacks and modules: the module list: " + DwflError());
    return snapshot;
  }
  dwfl_getmodules(dwfl.get(), OnModule, &snapshot.modules, 0);
  std::sort(snapshot.modules.begin(), snapshot.modules.end(),
            [](const ModuleRange& a, const ModuleRange& b) { return a.start < b.start; });
  if (!dwfl_attach_state(dwfl.get(), nullptr, process, &kThreadCallbacks, &walk)) {
    snapshot.problems.push_back("stacks: " + DwflError());
    return snapshot;
  }
  for (pid_t id : walk.threads) {
    snapshot.threads.push_back(UnwindThread(dwfl.get(), walk, id, limits.frames));
  }
  return snapshot;
}

}  // namespace crashhandler
