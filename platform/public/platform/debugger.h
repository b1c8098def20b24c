#pragma once

#include "platform/export.h"

namespace platform {

PLATFORM_API bool IsDebuggerPresent();
PLATFORM_API void DebugBreak();

}  // namespace platform
