#include "stack_walk_win.h"

// After <windows.h>, which it needs.
#include <dbghelp.h>

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

ThreadStack StackWalker::Walk(HANDLE thread, const CONTEXT& context, std::size_t maxFrames) {
  ThreadStack stack;
  stack.threadId = GetThreadId(thread);
  WalkState walk{*this};
  const CurrentWalk current(walk);

  CONTEXT registers = context;  // the walker moves it frame by frame
  STACKFRAME64 frame{};
  frame.AddrPC.Offset = context.Rip;
  frame.AddrPC.Mode = AddrModeFlat;
  frame.AddrFrame.Offset = context.Rbp;
  frame.AddrFrame.Mode = AddrModeFlat;
  frame.AddrStack.Offset = context.Rsp;
  frame.AddrStack.Mode = AddrModeFlat;
  std::uint64_t lastStack = 0;
  while (StackWalk64(IMAGE_FILE_MACHINE_AMD64, process_, thread, &frame, &registers, nullptr,
                     FunctionTableAccess, ModuleBase, nullptr)) {
    if (frame.AddrPC.Offset == 0) break;
    // A stack that does not move outward is damaged; the walk would loop.
    if (!stack.frames.empty() && frame.AddrStack.Offset <= lastStack) {
      stack.problem = "the stack goes no further: it does not move outward";
      break;
    }
    if (stack.frames.size() == maxFrames) {
      stack.problem = "more frames not shown";
      break;
    }
    lastStack = frame.AddrStack.Offset;
    StackFrame named;
    named.address = frame.AddrPC.Offset;
    Name(named, *this, !stack.frames.empty());
    stack.frames.push_back(std::move(named));
  }
  if (stack.frames.empty()) stack.problem = "the stack walk found no frame";
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
