#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "platform/tool_io.h"

int main(int argc, char** argv) {
  const platform::ToolStreams streams;
  const std::vector<std::string> arguments = platform::ProgramArguments(argc, argv);
  const int status = lexiqon::RunLexiqon(
      std::vector<std::string>(arguments.begin() + 1, arguments.end()), std::cout, std::cerr);
  // Results that never reached standard output (a full disk) are a failure.
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "lexiqon: -: error: " << std::strerror(errno) << '\n';
    return 2;
  }
  return status;
}
