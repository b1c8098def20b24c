#pragma once

#include <string>

namespace crashhandler {

// "Pellicor 19.0 (build 1)" from the version resource of the crashed
// process's executable file; empty when it has none.
std::string ApplicationIdentity(void* process);

}  // namespace crashhandler
