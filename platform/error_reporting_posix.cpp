// Stand-in until crashes reach the handler module out of process: the
// registration is accepted and nothing else happens.
#include "platform/error_reporting.h"

namespace platform {

HResult WerRegisterRuntimeExceptionModule(const char16_t*, void*) { return kSOk; }

HResult WerUnregisterRuntimeExceptionModule(const char16_t*, void*) { return kSOk; }

}  // namespace platform
