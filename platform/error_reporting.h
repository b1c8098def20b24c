#pragma once

#include "platform/types.h"

namespace platform {

// Hands crashes of this process to the module at `path`, with `context`.
HResult WerRegisterRuntimeExceptionModule(const char16_t* path, void* context);
HResult WerUnregisterRuntimeExceptionModule(const char16_t* path, void* context);

}  // namespace platform
