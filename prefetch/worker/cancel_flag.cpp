#include "prefetch/worker/cancel_flag.h"

namespace SpeedLauncher {
namespace {

bool cancelFlag = false;

}  // namespace

bool CancelRequested() { return cancelFlag; }

void RequestCancel() { cancelFlag = true; }

}  // namespace SpeedLauncher
