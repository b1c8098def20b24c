#pragma once

#include "platform/export.h"
#include "platform/types.h"

namespace platform {

// Hands crashes of this process to the module at `path`, with `context`.
PLATFORM_API HResult WerRegisterRuntimeExceptionModule(const char16_t* path, void* context);
PLATFORM_API HResult WerUnregisterRuntimeExceptionModule(const char16_t* path, void* context);

}  // namespace platform
