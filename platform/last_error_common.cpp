#include "platform/code_page.h"
#include "platform/last_error.h"

namespace platform {
namespace {

thread_local std::uint32_t lastError = 0;

}  // namespace

void SetLastErrorCode(std::uint32_t code) { lastError = code; }

std::uint32_t GetLastError() { return lastError; }

}  // namespace platform
