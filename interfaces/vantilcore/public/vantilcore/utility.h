#pragma once

#include "vantilcore/allocator.h"
#include "vantilcore/export.h"

namespace vantilcore::utility {

// The file path of a loaded module (null: the executable).
VANTILCORE_API UTF16String GetModulePath(void* module);

class VANTILCORE_API FileUtils {
 public:
  // False when the path has no parent.
  static bool GetParentPath(const UTF16String& path, UTF16String& parent);
  static void BuildPathSpec(const UTF16String& directory, const UTF16String& file,
                            UTF16String& result);
};

}  // namespace vantilcore::utility
