#pragma once

namespace platform {

// True when standard error goes to a terminal, where progress lines belong.
bool StandardErrorIsTerminal();

}  // namespace platform
