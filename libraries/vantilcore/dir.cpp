#include <utility>

#include "path_text.h"
#include "vantilcore/filesupport.h"
#include "vantilcore/utility.h"

namespace vantilcore::filesupport {

Dir::Dir() = default;
Dir::Dir(UTF16String path) : path_(std::move(path)) {}
Dir::~Dir() = default;

Dir Dir::AppDir() {
  UTF16String path = utility::GetModulePath(nullptr);
  const std::size_t separator = detail::LastSeparator(path);
  if (separator == UTF16String::npos) return Dir();
  path.resize(separator + 1);
  return Dir(std::move(path));
}

UTF16String Dir::FullPath() const { return path_; }

}  // namespace vantilcore::filesupport
