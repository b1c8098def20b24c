#pragma once

namespace SpeedLauncher {

// The prefetcher's cancel flag: clear at process start, set by Stop and
// never cleared. Everything runs on one thread, so a plain byte will do.
bool CancelRequested();
void RequestCancel();

}  // namespace SpeedLauncher
