#pragma once

#include "platform/export.h"

namespace platform {

// True when standard error goes to a terminal, where progress lines belong.
PLATFORM_API bool StandardErrorIsTerminal();

}  // namespace platform
