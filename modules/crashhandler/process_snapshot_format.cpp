#include <cstdio>

#include "crash_report.h"
#include "process_snapshot.h"

namespace crashhandler {
namespace {

constexpr std::size_t kRegistersPerLine = 4;

std::string Hex(std::uint64_t value, int width = 0) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%0*llx", width, static_cast<unsigned long long>(value));
  return text;
}

std::string FrameLine(std::size_t index, const StackFrame& frame) {
  std::string line = "  #" + std::to_string(index) + (index < 10 ? "  " : " ");
  line += Hex(frame.address, 16);
  if (frame.module.empty()) return line + "  (no module)\n";
  line += "  " + Printable(frame.module) + "+" + Hex(frame.moduleOffset);
  if (!frame.function.empty()) {
    line += "  " + Printable(frame.function);
    if (!frame.inlined) line += "+" + Hex(frame.functionOffset);
  }
  if (!frame.file.empty()) {
    line += "  " + Printable(frame.file);
    if (frame.line != 0) line += ":" + std::to_string(frame.line);
  }
  if (frame.inlined) line += "  (inlined)";
  if (frame.signalFrame) line += "  (signal handler called)";
  return line + "\n";
}

std::string ThreadLines(const ThreadStack& thread) {
  std::string text = "\nThread " + std::to_string(thread.threadId);
  if (!thread.name.empty()) text += " \"" + Printable(thread.name) + "\"";
  text += thread.crashed ? " (crashed):\n" : ":\n";
  std::size_t index = 0;
  for (const StackFrame& frame : thread.frames) text += FrameLine(index++, frame);
  if (thread.omittedFrames != 0) {
    text += "  ... " + std::to_string(thread.omittedFrames) + " frames not shown ...\n";
    index += thread.omittedFrames;
  }
  for (const StackFrame& frame : thread.outermostFrames) text += FrameLine(index++, frame);
  if (!thread.problem.empty()) text += "  (" + Printable(thread.problem) + ")\n";
  return text;
}

std::string RegisterLines(const ProcessSnapshot& snapshot) {
  if (snapshot.registers.empty() || snapshot.threads.empty()) return std::string();
  std::string text = "\nRegisters of thread " + std::to_string(snapshot.threads.front().threadId) +
                     " at the fault:\n";
  for (std::size_t i = 0; i < snapshot.registers.size(); ++i) {
    const NamedRegister& item = snapshot.registers[i];
    char cell[40];
    std::snprintf(cell, sizeof cell, "%-6s %s", item.name.c_str(), Hex(item.value, 16).c_str());
    text += "  " + std::string(cell);
    if (i % kRegistersPerLine == kRegistersPerLine - 1 || i + 1 == snapshot.registers.size()) {
      text += '\n';
    }
  }
  return text;
}

std::string ModuleLines(const std::vector<ModuleRange>& modules) {
  if (modules.empty()) return std::string();
  std::string text = "\nModules:\n";
  for (const ModuleRange& module : modules) {
    text +=
        "  " + Hex(module.start, 16) + "-" + Hex(module.end, 16) + "  " + Printable(module.path);
    text += module.buildId.empty() ? "  (no build id)" : "  build id " + module.buildId;
    text += '\n';
  }
  return text;
}

}  // namespace

std::string FormatProcessSnapshot(const ProcessSnapshot& snapshot) {
  std::string text;
  for (const ThreadStack& thread : snapshot.threads) text += ThreadLines(thread);
  text += RegisterLines(snapshot);
  text += ModuleLines(snapshot.modules);
  for (const std::string& problem : snapshot.problems)
    text += "\nNot read: " + Printable(problem) + "\n";
  return text;
}

}  // namespace crashhandler
