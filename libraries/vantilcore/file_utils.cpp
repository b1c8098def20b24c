#include <utility>

#include "path_text.h"
#include "vantilcore/utility.h"

namespace vantilcore::utility {

bool FileUtils::GetParentPath(const UTF16String& path, UTF16String& parent) {
  const std::size_t separator = detail::LastSeparator(path);
  if (separator == UTF16String::npos) return false;
  // A file right under the root has the root as its parent.
  parent = path.substr(0, separator == 0 ? 1 : separator);
  return true;
}

void FileUtils::BuildPathSpec(const UTF16String& directory, const UTF16String& file,
                              UTF16String& result) {
  // No directory: the file name is relative to wherever the caller is.
  if (directory.empty()) {
    result = file;
    return;
  }
  std::size_t directoryEnd = directory.size();
  while (directoryEnd > 0 && detail::IsSeparator(directory[directoryEnd - 1])) --directoryEnd;
  std::size_t fileStart = 0;
  while (fileStart < file.size() && detail::IsSeparator(file[fileStart])) ++fileStart;
  UTF16String joined = directory.substr(0, directoryEnd);
  joined.push_back(detail::kSeparator);
  joined.append(file, fileStart);
  result = std::move(joined);
}

}  // namespace vantilcore::utility
