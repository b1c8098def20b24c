#pragma once

#include <functional>

namespace SpeedLauncher {

// The process-wide cancel flag: clear at start, set by Stop, never cleared.
bool CancelRequested();
void RequestCancel();

// How the expansion and the reader poll for cancellation; the default
// polls the process-wide flag. Tools and tests hand in their own.
using CancelCheck = std::function<bool()>;
CancelCheck ProcessCancelCheck();

}  // namespace SpeedLauncher
