#pragma once

#include "vantilcore/allocator.h"
#include "vantilcore/export.h"
#include "vantilcore/filesupport.h"

namespace vantilcore {

class VANTILCORE_API Locale {
 public:
  static void Initialize(const UTF16String& language, const filesupport::Dir& resources);
};

}  // namespace vantilcore
