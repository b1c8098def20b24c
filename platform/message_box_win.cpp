#include <windows.h>

#include "platform/message_box.h"

namespace platform {

static_assert(kMbOk == MB_OK);
static_assert(kMbIconError == MB_ICONERROR);
static_assert(kIdOk == IDOK);

int MessageBoxW(WindowHandle owner, const char16_t* text, const char16_t* caption,
                std::uint32_t type) {
  return ::MessageBoxW(static_cast<HWND>(owner), reinterpret_cast<LPCWSTR>(text),
                       reinterpret_cast<LPCWSTR>(caption), type);
}

}  // namespace platform
