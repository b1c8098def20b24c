#pragma once

#include <functional>

namespace SpeedLauncher::testing {

// The exit status meaning "could not run without privileges here".
inline constexpr int kUnprivilegedUnavailable = 77;

// Runs check in a child process that, when started as root, has become the
// user nobody first, so that file permissions apply to it. Returns check's
// result, kUnprivilegedUnavailable, or 128 plus a signal number.
int RunUnprivileged(const std::function<int()>& check);

}  // namespace SpeedLauncher::testing
