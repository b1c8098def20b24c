#pragma once

#include "platform/types.h"

// The executable's entry and its start-up sequence. On Windows the runtime
// calls wWinMain itself; elsewhere main() stands in for that start-up code.
#if defined(_WIN32)
using LauncherChar = wchar_t;
#define LAUNCHER_ENTRY extern "C" __stdcall
#else
using LauncherChar = char16_t;
#define LAUNCHER_ENTRY
#endif

LAUNCHER_ENTRY int wWinMain(platform::ModuleHandle instance, platform::ModuleHandle previous,
                            LauncherChar* commandLine, int showCommand);

namespace Startup {

int RunStartup(platform::ModuleHandle instance, platform::ModuleHandle previous,
               LauncherChar* commandLine, int showCommand);

}  // namespace Startup
