#pragma once

#include "vantilcore/allocator.h"
#include "vantilcore/export.h"

namespace vantilcore::console {

class VANTILCORE_API ConsoleLogFile {
 public:
  static ConsoleLogFile& GetInstance();
  // True and the path when a console log file exists.
  bool GetLogFilePath(UTF16String& path, bool create);

 private:
  ConsoleLogFile() = default;
};

}  // namespace vantilcore::console
