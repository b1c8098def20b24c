#include <windows.h>

#include "platform/code_page.h"

namespace platform {

static_assert(kCpAcp == CP_ACP);
static_assert(kCpUtf8 == CP_UTF8);
static_assert(kMbErrInvalidChars == MB_ERR_INVALID_CHARS);
static_assert(kWcErrInvalidChars == WC_ERR_INVALID_CHARS);

int MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags, const char* source,
                        int sourceLength, char16_t* destination, int destinationLength) {
  return ::MultiByteToWideChar(codePage, flags, source, sourceLength,
                               reinterpret_cast<LPWSTR>(destination), destinationLength);
}

int WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const char16_t* source,
                        int sourceLength, char* destination, int destinationLength,
                        const char* defaultChar, bool* usedDefaultChar) {
  BOOL used = FALSE;
  const int result = ::WideCharToMultiByte(
      codePage, flags, reinterpret_cast<LPCWCH>(source), sourceLength, destination,
      destinationLength, defaultChar, usedDefaultChar != nullptr ? &used : nullptr);
  if (usedDefaultChar != nullptr) *usedDefaultChar = used != FALSE;
  return result;
}

std::uint32_t GetLastError() { return ::GetLastError(); }

bool IsDBCSLeadByteEx(std::uint32_t codePage, std::uint8_t byte) {
  return ::IsDBCSLeadByteEx(codePage, byte) != FALSE;
}

}  // namespace platform
