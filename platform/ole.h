#pragma once

#include "platform/types.h"

namespace platform {

HResult OleInitialize(void* reserved);
void OleUninitialize();

}  // namespace platform
