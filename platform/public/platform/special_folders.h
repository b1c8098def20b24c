#pragma once

#include "platform/export.h"
#include "platform/types.h"

namespace platform {

inline constexpr int kCsidlAppData = 0x1A;             // CSIDL_APPDATA
inline constexpr int kCsidlLocalAppData = 0x1C;        // CSIDL_LOCAL_APPDATA
inline constexpr int kCsidlCommonAppData = 0x23;       // CSIDL_COMMON_APPDATA
inline constexpr int kCsidlProgramFilesCommon = 0x2B;  // CSIDL_PROGRAM_FILES_COMMON
inline constexpr int kMaxPath = 260;                   // MAX_PATH

// `path` holds at least kMaxPath units.
PLATFORM_API bool SHGetSpecialFolderPathW(WindowHandle owner, char16_t* path, int folder,
                                          bool create);

struct ItemIdList;  // ITEMIDLIST
PLATFORM_API HResult SHGetSpecialFolderLocation(WindowHandle owner, int folder, ItemIdList** list);
// `path` holds at least kMaxPath units.
PLATFORM_API bool SHGetPathFromIDListW(const ItemIdList* list, char16_t* path);

// The shell's allocator (IMalloc): frees identifier lists.
class ShellMalloc {
 public:
  virtual void Free(void* block) = 0;
  virtual unsigned long Release() = 0;

 protected:
  ~ShellMalloc() = default;
};
PLATFORM_API HResult SHGetMalloc(ShellMalloc** malloc);

}  // namespace platform
