#include "platform/ole.h"

namespace platform {
namespace {

thread_local int initializations = 0;

}  // namespace

HResult OleInitialize(void*) { return initializations++ == 0 ? kSOk : kSFalse; }

void OleUninitialize() {
  if (initializations > 0) --initializations;
}

}  // namespace platform
