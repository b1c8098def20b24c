#include "prefetch/locations/standard_locations.h"

#include <boost/algorithm/string/replace.hpp>
#include <cstdint>
#include <string_view>

#include "platform/modules.h"
#include "platform/special_folders.h"
#include "prefetch/locations/utf_text.h"

namespace SpeedLauncher {
namespace {

constexpr std::string_view kVersion = "19";
constexpr std::u16string_view kVersion16 = u"19";
#ifdef _WIN32
constexpr std::u16string_view kFontsSuffix = u"\\Harlund\\Fonts\\Zolt";
#else
constexpr std::u16string_view kFontsSuffix = u"/Harlund/Fonts/Zolt";
#endif
constexpr std::size_t kFontsBufferUnits = 1024;

// The whole path, however long: a result that fills the buffer may be cut.
std::u16string ExecutablePath() {
  std::u16string buffer(static_cast<std::size_t>(platform::kMaxPath), u'\0');
  for (;;) {
    const auto size = static_cast<std::uint32_t>(buffer.size());
    const std::uint32_t units = platform::GetModuleFileNameW(nullptr, buffer.data(), size);
    if (units + 1 < size || size >= (1u << 20)) {
      buffer.resize(units < size ? units : 0);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// Releases a shell identifier list with the shell's allocator.
void FreeItemIdList(platform::ItemIdList* list) {
  platform::ShellMalloc* malloc = nullptr;
  if (!platform::Succeeded(platform::SHGetMalloc(&malloc)) || malloc == nullptr) return;
  malloc->Free(list);
  malloc->Release();
}

}  // namespace

std::string ExecutableDirectory() {
  std::string path = ToUtf8(ExecutablePath());
  boost::algorithm::replace_all(path, "\\", "/");
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash);
}

std::string CommonFilesFolder() {
  char16_t buffer[platform::kMaxPath + 1] = {};
  if (!platform::SHGetSpecialFolderPathW(nullptr, buffer, platform::kCsidlProgramFilesCommon,
                                         false)) {
    return {};
  }
  return ToUtf8(buffer);
}

std::string CommonFontsFolder() {
  platform::ItemIdList* list = nullptr;
  if (platform::SHGetSpecialFolderLocation(nullptr, platform::kCsidlProgramFilesCommon, &list) !=
      platform::kSOk) {
    return {};
  }
  char16_t buffer[kFontsBufferUnits] = {};
  const bool found = platform::SHGetPathFromIDListW(list, buffer);
  FreeItemIdList(list);
  if (!found) return {};
  std::u16string folder(buffer);
  if (folder.size() + kFontsSuffix.size() + kVersion16.size() >= kFontsBufferUnits) return {};
  folder.append(kFontsSuffix).append(kVersion16);
  return ToUtf8(folder);
}

std::string FileFormatPlugInsFolder() {
  return CommonFilesFolder() + "/Harlund/Plug-Ins/Orvane 19/File Formats";
}

std::string RokapodFolder() {
  return CommonFilesFolder() + "/Harlund/Orvane/Yoncel/" + std::string(kVersion);
}

}  // namespace SpeedLauncher
