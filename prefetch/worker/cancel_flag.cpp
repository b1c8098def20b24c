#include "prefetch/worker/cancel_flag.h"

namespace SpeedLauncher {
namespace {

// Written only by Stop on the thread that ran Start, so a plain byte does.
bool cancelFlag = false;

}  // namespace

bool CancelRequested() { return cancelFlag; }

void RequestCancel() { cancelFlag = true; }

CancelCheck ProcessCancelCheck() { return &CancelRequested; }

}  // namespace SpeedLauncher
