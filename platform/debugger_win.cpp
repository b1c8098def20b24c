#include <windows.h>

#include "platform/debugger.h"

namespace platform {

bool IsDebuggerPresent() { return ::IsDebuggerPresent() != FALSE; }

void DebugBreak() { ::DebugBreak(); }

}  // namespace platform
