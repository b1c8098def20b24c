#include "process_snapshot_posix.h"

#include <crashhandler/application_identity.h>
#include <cxxabi.h>
#include <dwarf.h>
#include <elfutils/libdw.h>
#include <elfutils/libdwelf.h>
#include <elfutils/libdwfl.h>
#include <fcntl.h>
#include <gelf.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
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
  void operator()(void* memory) const { std::free(memory); }
};

std::string DwflError() {
  const char* message = dwfl_errmsg(-1);
  return message != nullptr ? message : "unknown error";
}

std::string Hex(const unsigned char* bytes, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    text += pair;
  }
  return text;
}

struct ElfCloser {
  void operator()(Elf* elf) const { elf_end(elf); }
};

// Whether the file at `descriptor` carries this build id.
bool HasBuildId(int descriptor, const unsigned char* bits, int length) {
  const std::unique_ptr<Elf, ElfCloser> elf(elf_begin(descriptor, ELF_C_READ_MMAP, nullptr));
  const void* found = nullptr;
  const ssize_t size = elf ? dwelf_elf_gnu_build_id(elf.get(), &found) : -1;
  return size == length && std::memcmp(found, bits, static_cast<std::size_t>(length)) == 0;
}

// Separate debug files on the local disk only: by build id under
// /usr/lib/debug/.build-id, then by the module's .gnu_debuglink beside it,
// in its .debug folder and under /usr/lib/debug. Never the debug file
// server, nor even its client library, whose loading alone costs more than
// the rest of the search.
int FindLocalDebugFile(Dwfl_Module* module, void**, const char*, Dwarf_Addr, const char* fileName,
                       const char* debugLink, GElf_Word, char** debugFileName) {
  const unsigned char* bits = nullptr;
  GElf_Addr where = 0;
  const int length = dwfl_module_build_id(module, &bits, &where);
  std::vector<std::string> candidates;
  if (length > 1) {
    candidates.push_back("/usr/lib/debug/.build-id/" + Hex(bits, 1) + "/" +
                         Hex(bits + 1, length - 1) + ".debug");
  }
  if (debugLink != nullptr && fileName != nullptr && *debugLink != '\0') {
    const std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    candidates.push_back((folder / debugLink).string());
    candidates.push_back((folder / ".debug" / debugLink).string());
    candidates.push_back("/usr/lib/debug" + folder.string() + "/" + debugLink);
  }
  for (const std::string& candidate : candidates) {
    if (fileName != nullptr && candidate == fileName) continue;
    const int descriptor = open(candidate.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) continue;
    if (length <= 0 || HasBuildId(descriptor, bits, length)) {
      *debugFileName = strdup(candidate.c_str());
      return descriptor;
    }
    close(descriptor);
  }
  return -1;
}

// The maps file writes a newline in a path as "\012", which names no file;
// the module keeps that name in the report, and its file is opened by the
// real one.
int FindModuleFile(Dwfl_Module* module, void** data, const char* name, Dwarf_Addr base,
                   char** fileName, Elf** elf) {
  const int found = dwfl_linux_proc_find_elf(module, data, name, base, fileName, elf);
  if (found >= 0 || *elf != nullptr || name == nullptr || std::strstr(name, "\\012") == nullptr) {
    return found;
  }
  std::string real = name;
  for (std::size_t at = real.find("\\012"); at != std::string::npos; at = real.find("\\012", at)) {
    real.replace(at, 4, "\n");
  }
  const int descriptor = open(real.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor >= 0) *fileName = strdup(real.c_str());
  return descriptor;
}

const Dwfl_Callbacks kDwflCallbacks = {FindModuleFile, FindLocalDebugFile, nullptr, nullptr};

// Paths below the user's home folder from "~", in the report.
std::string FromHome(const std::string& path) {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home != '/') return path;
  std::string prefix = home;
  while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
  if (path == prefix) return "~";
  if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
      path[prefix.size()] == '/') {
    return "~" + path.substr(prefix.size());
  }
  return path;
}

std::string ThreadName(pid_t process, pid_t thread) {
  std::ifstream comm("/proc/" + std::to_string(process) + "/task/" + std::to_string(thread) +
                     "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

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
      problems.push_back(std::to_string(others.size() + 1 - limit) + " more threads, not shown");
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

// A function's name from its debug entry, following the entries it was
// inlined or declared from.
std::string DieName(Dwarf_Die* die) {
  Dwarf_Attribute attribute;
  for (const unsigned name : {unsigned{DW_AT_linkage_name}, unsigned{DW_AT_MIPS_linkage_name}}) {
    if (const char* linkage = dwarf_formstring(dwarf_attr_integrate(die, name, &attribute))) {
      return Demangled(linkage);
    }
  }
  const char* plain = dwarf_formstring(dwarf_attr_integrate(die, DW_AT_name, &attribute));
  return plain != nullptr ? plain : "?";
}

struct SourcePlace {
  std::string file;
  unsigned line = 0;
};

// Where an inlined call was made, from its entry.
SourcePlace CallPlace(Dwarf_Die* compileUnit, Dwarf_Die* inlined) {
  SourcePlace place;
  Dwarf_Files* files = nullptr;
  std::size_t fileCount = 0;
  Dwarf_Attribute attribute;
  Dwarf_Word value = 0;
  if (dwarf_getsrcfiles(compileUnit, &files, &fileCount) == 0 &&
      dwarf_formudata(dwarf_attr(inlined, DW_AT_call_file, &attribute), &value) == 0) {
    if (const char* file = dwarf_filesrc(files, value, nullptr, nullptr)) place.file = file;
  }
  if (dwarf_formudata(dwarf_attr(inlined, DW_AT_call_line, &attribute), &value) == 0) {
    place.line = static_cast<unsigned>(value);
  }
  return place;
}

// One frame of the stack as one or more report frames: the calls inlined
// at the address, innermost first, then the function that holds them.
void DescribeFrame(Dwfl* dwfl, Dwarf_Addr address, bool activation,
                   std::vector<StackFrame>& frames) {
  StackFrame frame;
  frame.address = address;
  // A return address may be the first byte after the call's function.
  const Dwarf_Addr inside = activation || address == 0 ? address : address - 1;
  Dwfl_Module* module = dwfl_addrmodule(dwfl, inside);
  if (module == nullptr) {
    frames.push_back(std::move(frame));
    return;
  }
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

  SourcePlace place;
  if (Dwfl_Line* line = dwfl_module_getsrc(module, inside)) {
    int number = 0;
    if (const char* file = dwfl_lineinfo(line, nullptr, &number, nullptr, nullptr, nullptr)) {
      place = {FromHome(file), static_cast<unsigned>(std::max(number, 0))};
    }
  }
  Dwarf_Addr bias = 0;
  Dwarf_Die* compileUnit = dwfl_module_addrdie(module, inside, &bias);
  Dwarf_Die* scopes = nullptr;
  const int count =
      compileUnit != nullptr ? dwarf_getscopes(compileUnit, inside - bias, &scopes) : 0;
  const std::unique_ptr<Dwarf_Die, FreeCloser> ownedScopes(scopes);
  for (int i = 0; i < count; ++i) {
    if (dwarf_tag(&scopes[i]) != DW_TAG_inlined_subroutine) continue;
    StackFrame call = frame;
    call.function = DieName(&scopes[i]);
    call.functionOffset = 0;
    call.file = place.file;
    call.line = place.line;
    call.inlined = true;
    frames.push_back(std::move(call));
    place = CallPlace(compileUnit, &scopes[i]);
    place.file = FromHome(place.file);
  }
  frame.file = place.file;
  frame.line = place.line;
  frames.push_back(std::move(frame));
}

struct RawFrame {
  Dwarf_Addr address = 0;
  bool activation = false;
};

struct FrameWalk {
  const SnapshotLimits* limits;
  Clock::time_point deadline;
  std::vector<RawFrame> innermost;
  std::deque<RawFrame> outermost;
  std::size_t count = 0;
  std::string problem;
};

int OnFrame(Dwfl_Frame* state, void* argument) {
  FrameWalk& walk = *static_cast<FrameWalk*>(argument);
  RawFrame frame;
  if (!dwfl_frame_pc(state, &frame.address, &frame.activation)) return DWARF_CB_ABORT;
  ++walk.count;
  if (walk.innermost.size() < walk.limits->frames) {
    walk.innermost.push_back(frame);
  } else {
    walk.outermost.push_back(frame);
    if (walk.outermost.size() > walk.limits->outermostFrames) walk.outermost.pop_front();
  }
  if (Clock::now() >= walk.deadline) {
    walk.problem = "stopped at the time limit";
    return DWARF_CB_ABORT;
  }
  return DWARF_CB_OK;
}

// Threads that wait alike share their frames: each address is looked up
// once, since the scopes of its debug entries are walked afresh each time.
using FrameNames = std::map<std::pair<Dwarf_Addr, bool>, std::vector<StackFrame>>;

std::vector<StackFrame> Describe(Dwfl* dwfl, const std::vector<RawFrame>& raw, FrameNames& known) {
  std::vector<StackFrame> frames;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const auto key = std::make_pair(raw[i].address, raw[i].activation);
    auto found = known.find(key);
    if (found == known.end()) {
      std::vector<StackFrame> described;
      DescribeFrame(dwfl, raw[i].address, raw[i].activation, described);
      found = known.emplace(key, std::move(described)).first;
    }
    frames.insert(frames.end(), found->second.begin(), found->second.end());
    // The kernel's signal return and the frame it resumes are both not
    // return addresses; the first of the two is the signal frame.
    if (i > 0 && raw[i].activation && i + 1 < raw.size() && raw[i + 1].activation) {
      frames.back().signalFrame = true;
    }
  }
  return frames;
}

// A thread that the crash parked shows where it was, not the parking.
void DropParking(std::vector<StackFrame>& frames) {
  for (std::size_t i = 0; i < frames.size() && i < 6; ++i) {
    if (!frames[i].signalFrame) continue;
    const bool parked = std::any_of(frames.begin(), frames.begin() + static_cast<long>(i),
                                    [](const StackFrame& frame) {
                                      return frame.module == "libpellicor_platform.so" &&
                                             frame.function.find("Park(") != std::string::npos;
                                    });
    if (parked) frames.erase(frames.begin(), frames.begin() + static_cast<long>(i) + 1);
    return;
  }
}

ThreadStack UnwindThread(Dwfl* dwfl, Walk& walk, pid_t id, const SnapshotLimits& limits,
                         FrameNames& known) {
  ThreadStack stack;
  stack.threadId = id;
  stack.crashed = id == walk.crashed;
  stack.name = ThreadName(walk.process, id);
  if (Clock::now() >= walk.deadline) {
    stack.problem = "not read: the time limit was reached";
    return stack;
  }
  FrameWalk frames{&limits, walk.deadline, {}, {}, 0, {}};
  const int result = dwfl_getthread_frames(dwfl, id, OnFrame, &frames);
  stack.problem = frames.problem;
  if (result == -1 && stack.problem.empty()) {
    const auto problem = walk.problems.find(id);
    stack.problem = problem != walk.problems.end() && !problem->second.empty()
                        ? problem->second
                        : "unwinding stopped: " + DwflError();
  }
  stack.frames = Describe(dwfl, frames.innermost, known);
  if (!stack.crashed) DropParking(stack.frames);
  const std::vector<RawFrame> outermost(frames.outermost.begin(), frames.outermost.end());
  stack.omittedFrames = frames.count - frames.innermost.size() - outermost.size();
  stack.outermostFrames = Describe(dwfl, outermost, known);
  return stack;
}

std::string BuildId(Dwfl_Module* module) {
  const unsigned char* bits = nullptr;
  GElf_Addr where = 0;
  const int length = dwfl_module_build_id(module, &bits, &where);
  return length > 0 ? Hex(bits, length) : std::string();
}

// The text of the executable's identity section, if this module has one.
std::string ApplicationIdentity(Elf* elf) {
  std::size_t names = 0;
  if (elf_getshdrstrndx(elf, &names) != 0) return std::string();
  for (Elf_Scn* section = nullptr; (section = elf_nextscn(elf, section)) != nullptr;) {
    GElf_Shdr header{};
    if (gelf_getshdr(section, &header) == nullptr) continue;
    const char* name = elf_strptr(elf, names, header.sh_name);
    if (name == nullptr || std::strcmp(name, kApplicationIdentitySection) != 0) continue;
    const Elf_Data* data = elf_getdata(section, nullptr);
    if (data == nullptr || data->d_buf == nullptr) return std::string();
    const char* text = static_cast<const char*>(data->d_buf);
    return std::string(text, strnlen(text, data->d_size));
  }
  return std::string();
}

struct ModuleWalk {
  std::vector<ModuleRange>* modules;
  std::string* application;
};

// Executable objects only: a mapped document or data file is no module.
int OnModule(Dwfl_Module* module, void**, const char* name, Dwarf_Addr start, void* argument) {
  ModuleWalk& walk = *static_cast<ModuleWalk*>(argument);
  GElf_Addr bias = 0;
  Elf* elf = dwfl_module_getelf(module, &bias);
  if (elf == nullptr) return DWARF_CB_OK;
  if (walk.application->empty()) *walk.application = ApplicationIdentity(elf);
  ModuleRange range;
  Dwarf_Addr end = 0;
  dwfl_module_info(module, nullptr, nullptr, &end, nullptr, nullptr, nullptr, nullptr);
  range.start = start;
  range.end = end;
  range.path = name != nullptr ? FromHome(name) : "?";
  range.buildId = BuildId(module);
  walk.modules->push_back(std::move(range));
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
  // A positive result is the system's error number.
  const int reported = dwfl_linux_proc_report(dwfl.get(), process);
  if (reported != 0 || dwfl_report_end(dwfl.get(), nullptr, nullptr) != 0) {
    const std::string reason =
        reported > 0 ? std::generic_category().message(reported) : DwflError();
    snapshot.problems.push_back("stacks and modules: the module list (/proc/" +
                                std::to_string(process) + "/maps): " + reason);
    return snapshot;
  }
  ModuleWalk modules{&snapshot.modules, &snapshot.application};
  dwfl_getmodules(dwfl.get(), OnModule, &modules, 0);
  std::sort(snapshot.modules.begin(), snapshot.modules.end(),
            [](const ModuleRange& a, const ModuleRange& b) { return a.start < b.start; });
  if (!dwfl_attach_state(dwfl.get(), nullptr, process, &kThreadCallbacks, &walk)) {
    snapshot.problems.push_back("stacks: " + DwflError());
    return snapshot;
  }
  FrameNames known;
  for (pid_t id : walk.threads) {
    snapshot.threads.push_back(UnwindThread(dwfl.get(), walk, id, limits, known));
  }
  return snapshot;
}

}  // namespace crashhandler
