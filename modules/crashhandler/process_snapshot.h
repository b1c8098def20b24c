#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace crashhandler {

// Where a thread was: code addresses and the names around them, nothing of
// the process's data, so that a report may be shared.
struct StackFrame {
  std::uint64_t address = 0;
  std::string module;  // file name; empty when no module holds the address
  std::uint64_t moduleOffset = 0;
  std::string function;  // empty without symbols
  std::uint64_t functionOffset = 0;
  std::string file;  // source file from the debug information; empty without
  unsigned line = 0;
  bool inlined = false;      // inlined at `address` into the next frame
  bool signalFrame = false;  // the kernel's return into a signal handler's caller
};

struct ThreadStack {
  std::int64_t threadId = 0;
  std::string name;
  bool crashed = false;
  std::vector<StackFrame> frames;  // innermost first
  std::size_t omittedFrames = 0;   // between `frames` and `outermostFrames`
  std::vector<StackFrame> outermostFrames;
  std::string problem;  // why the stack stops early, if it does
};

struct ModuleRange {
  std::uint64_t start = 0;
  std::uint64_t end = 0;
  std::string path;
  std::string buildId;  // hexadecimal; empty when the module has none
};

struct NamedRegister {
  std::string name;
  std::uint64_t value = 0;
};

struct ProcessSnapshot {
  std::vector<ThreadStack> threads;      // the crashed thread first
  std::vector<NamedRegister> registers;  // of the crashed thread at the fault
  std::vector<ModuleRange> modules;      // by address
  std::string application;               // as the executable names itself
  std::vector<std::string> problems;     // what could not be read at all
};

// The bounds of the work on a crashed process.
struct SnapshotLimits {
  std::size_t threads = 64;
  std::size_t frames = 128;          // innermost frames shown
  std::size_t outermostFrames = 16;  // and outermost, when there are more
  std::chrono::milliseconds time{5000};
};

// The threads, the crashed thread's registers and the modules as report
// lines; texts from the crashed process have control characters replaced.
std::string FormatProcessSnapshot(const ProcessSnapshot& snapshot);

}  // namespace crashhandler
