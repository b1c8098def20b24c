#pragma once

#include "vantilcore/allocator.h"
#include "vantilcore/export.h"

namespace vantilcore::filesupport {

class VANTILCORE_API Dir {
 public:
  Dir();
  explicit Dir(UTF16String path);
  ~Dir();

  // The directory of the running executable, ending in a separator.
  static Dir AppDir();
  UTF16String FullPath() const;

 private:
  UTF16String path_;
};

}  // namespace vantilcore::filesupport
