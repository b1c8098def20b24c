#pragma once

#include "platform/export.h"
#include "platform/types.h"

namespace platform {

PLATFORM_API HResult OleInitialize(void* reserved);
PLATFORM_API void OleUninitialize();

}  // namespace platform
