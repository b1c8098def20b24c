// Arguments and the standard streams are bytes already.
#include "platform/tool_io.h"

namespace platform {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

struct ToolStreams::State {};

ToolStreams::ToolStreams() = default;
ToolStreams::~ToolStreams() = default;

}  // namespace platform
