#include <ole2.h>
#include <windows.h>

#include "platform/ole.h"

namespace platform {

HResult OleInitialize(void* reserved) { return ::OleInitialize(reserved); }

void OleUninitialize() { ::OleUninitialize(); }

}  // namespace platform
