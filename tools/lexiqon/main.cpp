#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"

int main(int argc, char** argv) {
  const int status =
      lexiqon::RunLexiqon(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
  // Results that never reached standard output (a full disk) are a failure.
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "lexiqon: -: error: " << std::strerror(errno) << '\n';
    return status == 0 ? 1 : status;
  }
  return status;
}
