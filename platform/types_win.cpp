// The layer's Windows types and codes are the system's own.
#include <windows.h>

#include <type_traits>

#include "platform/types.h"

namespace platform {

static_assert(sizeof(ModuleHandle) == sizeof(HMODULE));
static_assert(sizeof(WindowHandle) == sizeof(HWND));
static_assert(sizeof(HeapHandle) == sizeof(HANDLE));
static_assert(sizeof(HResult) == sizeof(HRESULT) && std::is_signed_v<HRESULT>);
static_assert(sizeof(Status) == sizeof(LSTATUS));
static_assert(sizeof(GeoId) == sizeof(GEOID));
static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
static_assert(sizeof(WCHAR) == sizeof(char16_t));

static_assert(kSOk == S_OK);
static_assert(kSFalse == S_FALSE);
static_assert(kEFail == E_FAIL);
static_assert(kErrorSuccess == ERROR_SUCCESS);
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(kErrorInvalidParameter == ERROR_INVALID_PARAMETER);
static_assert(kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER);
static_assert(kErrorNoUnicodeTranslation == ERROR_NO_UNICODE_TRANSLATION);

}  // namespace platform
