#include "prefetch/locations/standard_locations.h"

#include <boost/algorithm/string/replace.hpp>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/modules.h"
#include "platform/path_separator.h"
#include "platform/special_folders.h"
#include "platform/utf_common.h"

namespace SpeedLauncher {
namespace {

constexpr std::string_view kVersion = "19";
constexpr std::u16string_view kVersion16 = u"19";
constexpr std::size_t kIdListPathUnits = 1024;
constexpr std::uint32_t kFirstModulePathUnits = 260;

// The whole path, however long: a cut result fills the buffer to size - 1.
std::u16string ExecutablePath() {
  std::vector<char16_t> buffer(kFirstModulePathUnits);
  for (;;) {
    const auto size = static_cast<std::uint32_t>(buffer.size());
    const std::uint32_t length = platform::GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length + 1 < size) return std::u16string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

// "\Harlund\Fonts\Zolt" with the system's own separator.
std::u16string FontsSuffix() {
  std::u16string suffix;
  for (const std::u16string_view part : {u"Harlund", u"Fonts", u"Zolt"}) {
    suffix += platform::kPathSeparator;
    suffix += part;
  }
  return suffix;
}

// Frees the identifier list with the shell's allocator, if it can be had.
void FreeIdList(platform::ItemIdList* list) {
  platform::ShellMalloc* malloc = nullptr;
  if (!platform::Succeeded(platform::SHGetMalloc(&malloc)) || malloc == nullptr) return;
  malloc->Free(list);
  malloc->Release();
}

}  // namespace

std::string ExecutableDirectory() {
  std::string path = platform::Utf16ToUtf8(ExecutablePath());
  boost::algorithm::replace_all(path, "\\", "/");
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash);
}

std::string CommonFilesFolder() {
  char16_t buffer[platform::kMaxPath] = {};
  if (!platform::SHGetSpecialFolderPathW(nullptr, buffer, platform::kCsidlProgramFilesCommon,
                                         false)) {
    return {};
  }
  return platform::Utf16ToUtf8(buffer);
}

std::string CommonFontsFolder() {
  platform::ItemIdList* list = nullptr;
  if (platform::SHGetSpecialFolderLocation(nullptr, platform::kCsidlProgramFilesCommon, &list) !=
      platform::kSOk) {
    return {};
  }
  char16_t buffer[kIdListPathUnits] = {};
  const bool found = platform::SHGetPathFromIDListW(list, buffer);
  FreeIdList(list);
  if (!found) return {};
  std::u16string folder(buffer);
  const std::u16string suffix = FontsSuffix();
  if (folder.size() + suffix.size() + kVersion16.size() >= kIdListPathUnits) return {};
  folder.append(suffix).append(kVersion16);
  return platform::Utf16ToUtf8(folder);
}

std::string FileFormatPlugInsFolder() {
  return CommonFilesFolder() + "/Harlund/Plug-Ins/Orvane 19/File Formats";
}

std::string RokapodFolder() {
  return CommonFilesFolder() + "/Harlund/Orvane/Yoncel/" + std::string(kVersion);
}

}  // namespace SpeedLauncher
