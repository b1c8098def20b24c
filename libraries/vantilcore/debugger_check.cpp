#include "platform/debugger.h"
#include "vantilcore/debug.h"

namespace vantilcore::debug {

bool IsDebuggerAttached() { return platform::IsDebuggerPresent(); }

}  // namespace vantilcore::debug
