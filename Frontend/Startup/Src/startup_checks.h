#pragma once

#include "platform/types.h"

namespace Startup {

// Returns only outside the restricted regions; otherwise tells the user and
// ends the process with exit code 0.
void CheckRegion();

// True with SSE; without it the user has been told before it returns false.
bool CheckProcessor(platform::ModuleHandle instance);

}  // namespace Startup
