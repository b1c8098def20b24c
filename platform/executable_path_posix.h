#pragma once

#include <string>

namespace platform {

// The running program's full path, read once; empty when it cannot be read.
const std::string& ExecutablePath();

}  // namespace platform
