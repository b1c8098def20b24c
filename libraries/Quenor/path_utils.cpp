#include <string>

#include "Quenor/Quenor.h"
#include "platform/directory_listing.h"
#include "platform/path_separator.h"

namespace Quenor {
namespace {

constexpr char16_t kSeparator = platform::kPathSeparator;
constexpr bool IsSeparator(char16_t unit) { return platform::IsPathSeparator(unit); }

}  // namespace

UTF16String PathUtils::GetPathSeparator() { return UTF16String(1, kSeparator); }

// An empty text becomes the separator alone.
UTF16String PathUtils::AddTrailingSlash(const UTF16String& path) {
  UTF16String result = path;
  if (result.empty() || !IsSeparator(result.back())) result.push_back(kSeparator);
  return result;
}

// "/a/b/c.txt" -> "/a/b"; "/c.txt" -> "/"; "c.txt" (no directory) -> "".
UTF16String PathUtils::GetFullDirectoryPart(const UTF16String& path) {
  std::size_t end = path.size();
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  if (end == 0) return {};
  std::size_t cut = end - 1;
  while (cut > 0 && IsSeparator(path[cut - 1])) --cut;
  return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

// A regular file counts; a directory counts only when asked for.
bool PathUtils::ExistsOnDisk(const UTF16String& path, bool directoriesCount) {
  if (path.empty()) return false;
  int error = 0;
  const platform::EntryKind kind =
      platform::KindOfPath(std::u16string(path.begin(), path.end()), error);
  if (error != 0) return false;
  if (kind == platform::EntryKind::kRegular) return true;
  return directoriesCount && kind == platform::EntryKind::kDirectory;
}

}  // namespace Quenor
