#include "stack_walk_win.h"

// After <windows.h>, which it needs.
#include <dbghelp.h>

#include <chrono>
#include <deque>
#include <iterator>
#include <optional>

#include "pe_image.h"

namespace crashhandler {
namespace {

// The walker's callbacks are plain functions given only the process
// handle: they find the walk through this, set for its duration.
struct WalkState {
  StackWalker& walker;
  IMAGE_RUNTIME_FUNCTION_ENTRY entry{};
};
thread_local WalkState* currentWalk = nullptr;

class CurrentWalk {
 public:
  explicit CurrentWalk(WalkState& walk) { currentWalk = &walk; }
  ~CurrentWalk() { currentWalk = nullptr; }
  CurrentWalk(const CurrentWalk&) = delete;
  CurrentWalk& operator=(const CurrentWalk&) = delete;
};

PVOID WINAPI FunctionTableAccess(HANDLE, DWORD64 address) {
  if (currentWalk == nullptr) return nullptr;
  const LoadedModule* module = nullptr;
  const PeImage* image = currentWalk->walker.ImageAt(address, module);
  if (image == nullptr) return nullptr;
  const std::optional<RuntimeFunction> function =
      image->FunctionEntry(static_cast<std::uint32_t>(address - module->base));
  if (!function) return nullptr;  // a leaf function: the walker pops its return address
  currentWalk->entry.BeginAddress = function->begin;
  currentWalk->entry.EndAddress = function->end;
  currentWalk->entry.UnwindInfoAddress = function->unwindInfo;
  return &currentWalk->entry;
}

DWORD64 WINAPI ModuleBase(HANDLE, DWORD64 address) {
  if (currentWalk == nullptr) return 0;
  const LoadedModule* module = nullptr;
  currentWalk->walker.ImageAt(address, module);
  return module != nullptr ? module->base : 0;
}

void Name(StackFrame& frame, StackWalker& walker, bool returnAddress) {
  // A return address may be the first byte after its call's function.
  const std::uint64_t inside = returnAddress ? frame.address - 1 : frame.address;
  const LoadedModule* module = nullptr;
  const PeImage* image = walker.ImageAt(inside, module);
  if (module == nullptr) return;
  frame.module = module->name;
  frame.moduleOffset = frame.address - module->base;
  std::uint32_t offset = 0;
  frame.function = image->FunctionName(static_cast<std::uint32_t>(inside - module->base), offset);
  if (!frame.function.empty()) frame.functionOffset = offset + (returnAddress ? 1 : 0);
}

}  // namespace

// The walker needs the symbol handler's state for the process; no module is
// loaded into it, so it never searches for symbol files.
StackWalker::StackWalker(HANDLE process, const ModuleList& modules, const ProcessMemory& memory)
    : process_(process), modules_(modules), memory_(memory) {
  SymSetOptions(SYMOPT_NO_PROMPTS | SYMOPT_FAIL_CRITICAL_ERRORS | SYMOPT_DEFERRED_LOADS);
  symbolsStarted_ = SymInitializeW(process, L"", FALSE) != FALSE;
}

StackWalker::~StackWalker() {
  if (symbolsStarted_) SymCleanup(process_);
}

const PeImage* StackWalker::ImageAt(std::uint64_t address, const LoadedModule*& module) {
  module = modules_.Find(address);
  if (module == nullptr) return nullptr;
  auto [image, added] = images_.try_emplace(module->base);
  if (added) image->second = std::make_unique<PeImage>(memory_, module->base, module->size);
  return image->second.get();
}

bool StackWalker::HasFunctionEntry(std::uint64_t address) {
  const LoadedModule* module = nullptr;
  const PeImage* image = ImageAt(address, module);
  return image != nullptr &&
         image->FunctionEntry(static_cast<std::uint32_t>(address - module->base)).has_value();
}

// The first word at or above `stack` that holds an address just after a
// call instruction in a module's function.
std::optional<std::uint64_t> StackWalker::ReturnAddressSlot(std::uint64_t stack) {
  constexpr std::size_t kWords = 256;
  std::uint64_t words[kWords];
  if (!memory_.Read(stack, words, sizeof words)) return std::nullopt;
  for (std::size_t i = 0; i < kWords; ++i) {
    const std::uint64_t address = words[i];
    if (address < 8 || !HasFunctionEntry(address - 1)) continue;
    unsigned char code[7];
    if (!memory_.Read(address - sizeof code, code, sizeof code)) continue;
    const bool relativeCall = code[2] == 0xE8;
    const bool indirectCall = (code[1] == 0xFF && code[2] == 0x15) ||
                              (code[5] == 0xFF && (code[6] & 0x38) == 0x10 && code[6] >= 0xC0) ||
                              (code[4] == 0xFF && (code[5] & 0x38) == 0x10) ||
                              (code[3] == 0xFF && (code[4] & 0x38) == 0x10);
    if (relativeCall || indirectCall) return stack + i * sizeof address;
  }
  return std::nullopt;
}

ThreadStack StackWalker::Walk(HANDLE thread, const CONTEXT& context, const SnapshotLimits& limits) {
  ThreadStack stack;
  stack.threadId = GetThreadId(thread);
  WalkState walk{*this};
  const CurrentWalk current(walk);
  const auto deadline = std::chrono::steady_clock::now() + limits.time;

  CONTEXT registers = context;  // the walker moves it frame by frame
  // Past the innermost frames only the outermost are kept, the ones
  // between counted.
  std::deque<StackFrame> outermost;
  std::size_t count = 0;
  std::uint64_t lastStack = 0;
  if (!HasFunctionEntry(context.Rip)) {
    // No unwind information: a leaf function, or no code at all. The walker
    // would take the word at the stack pointer for the return address,
    // which is wrong where the function pushed (the stack probe of a stack
    // overflow) or where a call went nowhere.
    StackFrame innermost;
    innermost.address = context.Rip;
    Name(innermost, *this, false);
    stack.frames.push_back(std::move(innermost));
    count = 1;
    const std::optional<std::uint64_t> slot = ReturnAddressSlot(context.Rsp);
    if (!slot) {
      stack.problem = "no return address near the stack pointer";
      return stack;
    }
    std::uint64_t caller = 0;
    memory_.Read(*slot, &caller, sizeof caller);
    registers.Rip = caller;
    registers.Rsp = *slot + sizeof caller;
    lastStack = context.Rsp;
  }
  STACKFRAME64 frame{};
  frame.AddrPC.Offset = registers.Rip;
  frame.AddrPC.Mode = AddrModeFlat;
  frame.AddrFrame.Offset = registers.Rbp;
  frame.AddrFrame.Mode = AddrModeFlat;
  frame.AddrStack.Offset = registers.Rsp;
  frame.AddrStack.Mode = AddrModeFlat;
  while (StackWalk64(IMAGE_FILE_MACHINE_AMD64, process_, thread, &frame, &registers, nullptr,
                     FunctionTableAccess, ModuleBase, nullptr)) {
    if (frame.AddrPC.Offset == 0) break;
    // A stack that does not move outward is damaged; the walk would loop.
    if (count > 0 && frame.AddrStack.Offset <= lastStack) {
      stack.problem = "the stack goes no further: it does not move outward";
      break;
    }
    if (count % 1024 == 1023 && std::chrono::steady_clock::now() > deadline) {
      stack.problem = "the walk took too long";
      break;
    }
    lastStack = frame.AddrStack.Offset;
    StackFrame named;
    named.address = frame.AddrPC.Offset;
    Name(named, *this, count > 0);
    ++count;
    if (stack.frames.size() < limits.frames) {
      stack.frames.push_back(std::move(named));
      continue;
    }
    outermost.push_back(std::move(named));
    if (outermost.size() > limits.outermostFrames) {
      outermost.pop_front();
      ++stack.omittedFrames;
    }
  }
  stack.outermostFrames.assign(std::make_move_iterator(outermost.begin()),
                               std::make_move_iterator(outermost.end()));
  if (count == 0) stack.problem = "the stack walk found no frame";
  return stack;
}

std::vector<NamedRegister> ContextRegisters(const CONTEXT& context) {
  return {{"rax", context.Rax}, {"rbx", context.Rbx}, {"rcx", context.Rcx},
          {"rdx", context.Rdx}, {"rsi", context.Rsi}, {"rdi", context.Rdi},
          {"rbp", context.Rbp}, {"rsp", context.Rsp}, {"r8", context.R8},
          {"r9", context.R9},   {"r10", context.R10}, {"r11", context.R11},
          {"r12", context.R12}, {"r13", context.R13}, {"r14", context.R14},
          {"r15", context.R15}, {"rip", context.Rip}, {"eflags", context.EFlags}};
}

}  // namespace crashhandler
