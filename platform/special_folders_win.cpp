#include <shlobj.h>
#include <windows.h>

#include "platform/special_folders.h"

namespace platform {

static_assert(kCsidlAppData == CSIDL_APPDATA);
static_assert(kCsidlLocalAppData == CSIDL_LOCAL_APPDATA);
static_assert(kCsidlCommonAppData == CSIDL_COMMON_APPDATA);
static_assert(kCsidlProgramFilesCommon == CSIDL_PROGRAM_FILES_COMMON);
static_assert(kMaxPath == MAX_PATH);

namespace {

// The shell's IMalloc behind the layer's interface; released with it.
class ShellMallocAdapter final : public ShellMalloc {
 public:
  explicit ShellMallocAdapter(IMalloc* malloc) : malloc_(malloc) {}

  void Free(void* block) override { malloc_->Free(block); }
  unsigned long Release() override {
    const unsigned long remaining = malloc_->Release();
    delete this;
    return remaining;
  }

 private:
  IMalloc* malloc_;
};

}  // namespace

bool SHGetSpecialFolderPathW(WindowHandle owner, char16_t* path, int folder, bool create) {
  return ::SHGetSpecialFolderPathW(static_cast<HWND>(owner), reinterpret_cast<LPWSTR>(path), folder,
                                   create ? TRUE : FALSE) != FALSE;
}

HResult SHGetSpecialFolderLocation(WindowHandle owner, int folder, ItemIdList** list) {
  return ::SHGetSpecialFolderLocation(static_cast<HWND>(owner), folder,
                                      reinterpret_cast<LPITEMIDLIST*>(list));
}

bool SHGetPathFromIDListW(const ItemIdList* list, char16_t* path) {
  return ::SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(list),
                                reinterpret_cast<LPWSTR>(path)) != FALSE;
}

HResult SHGetMalloc(ShellMalloc** malloc) {
  if (malloc == nullptr) return E_POINTER;
  *malloc = nullptr;
  IMalloc* shell = nullptr;
  const HRESULT result = ::SHGetMalloc(&shell);
  if (FAILED(result)) return result;
  *malloc = new ShellMallocAdapter(shell);  // deletes itself in Release
  return result;
}

}  // namespace platform
