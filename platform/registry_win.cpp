// A RegKey is the HKEY itself.
#include <windows.h>

#include "platform/registry.h"

namespace platform {

static_assert(kRegOptionVolatile == REG_OPTION_VOLATILE);
static_assert(kKeyWrite == KEY_WRITE);
static_assert(kRegDword == REG_DWORD);

namespace {

HKEY Native(RegKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

RegKey HkeyCurrentUser() { return reinterpret_cast<RegKey>(HKEY_CURRENT_USER); }

Status RegCreateKeyExW(RegKey root, const char16_t* subKey, std::uint32_t reserved,
                       char16_t* keyClass, std::uint32_t options, std::uint32_t access,
                       void* security, RegKey* result, std::uint32_t* disposition) {
  HKEY created = nullptr;
  DWORD createdOrOpened = 0;
  const LSTATUS status = ::RegCreateKeyExW(
      Native(root), reinterpret_cast<LPCWSTR>(subKey), reserved, reinterpret_cast<LPWSTR>(keyClass),
      options, access, static_cast<LPSECURITY_ATTRIBUTES>(security), &created,
      disposition != nullptr ? &createdOrOpened : nullptr);
  if (result != nullptr) *result = reinterpret_cast<RegKey>(created);
  if (disposition != nullptr) *disposition = createdOrOpened;
  return status;
}

Status RegSetValueExW(RegKey key, const char16_t* valueName, std::uint32_t reserved,
                      std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
  return ::RegSetValueExW(Native(key), reinterpret_cast<LPCWSTR>(valueName), reserved, type, data,
                          size);
}

Status RegDeleteValueW(RegKey key, const char16_t* valueName) {
  return ::RegDeleteValueW(Native(key), reinterpret_cast<LPCWSTR>(valueName));
}

Status RegCloseKey(RegKey key) { return ::RegCloseKey(Native(key)); }

}  // namespace platform
