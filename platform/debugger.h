#pragma once

namespace platform {

bool IsDebuggerPresent();
void DebugBreak();

}  // namespace platform
