#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/export.h"

// What a command-line tool needs to take and give any text on every system.
namespace platform {

// The program's arguments in UTF-8, its name first. Linux hands them over
// as they are; on Windows they come from the wide command line, so a name
// outside the ANSI code page is not squeezed through it.
PLATFORM_API std::vector<std::string> ProgramArguments(int argc, char** argv);

// For a tool's whole run: standard input, output and error carry bytes
// unchanged (no line-end translation), and UTF-8 text written through
// std::cout and std::cerr to a console shows as what it is. Undone when it
// ends. Create it after any std::ios::sync_with_stdio call, which replaces
// the streams' buffers.
class PLATFORM_API ToolStreams {
 public:
  ToolStreams();
  ~ToolStreams();
  ToolStreams(const ToolStreams&) = delete;
  ToolStreams& operator=(const ToolStreams&) = delete;

  struct State;  // each system's own

 private:
  std::unique_ptr<State> state_;
};

}  // namespace platform
