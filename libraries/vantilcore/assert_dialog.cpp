#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "vantilcore/debug.h"

namespace vantilcore::debug {
namespace {

const char* OrEmpty(const char* text) { return text ? text : ""; }

// The answer comes from VANTIL_ASSERT: "break" asks to break, anything else
// (or nothing) continues. No prompt is shown, so a run never blocks.
bool UserAsksToBreak() {
  const char* answer = std::getenv("VANTIL_ASSERT");
  return answer != nullptr && std::strcmp(answer, "break") == 0;
}

}  // namespace

bool BreakAfterAssertDialog(bool& ignore, const char* expression, const char* message,
                            const char* file, int line, const char* function, bool offerBreak) {
  if (ignore) return false;
  std::fprintf(stderr, "Assertion failed: %s (%s) at %s:%d in %s\n", OrEmpty(expression),
               OrEmpty(message), OrEmpty(file), line, OrEmpty(function));
  std::fflush(stderr);
  return offerBreak && UserAsksToBreak();
}

}  // namespace vantilcore::debug
