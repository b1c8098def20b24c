#pragma once

#include <boost/shared_ptr.hpp>

#include "vantilcore/allocator.h"

#if defined(_WIN32)
#if defined(QUENOR_BUILD)
#define QUENOR_API __declspec(dllexport)
#else
#define QUENOR_API __declspec(dllimport)
#endif
#else
#define QUENOR_API __attribute__((visibility("default")))
#endif

namespace Quenor {

// The user-interface language as "ll_TT", used as a folder name.
QUENOR_API UTF16String GetLanguageString();

class QUENOR_API PathUtils {
 public:
  static UTF16String GetPathSeparator();
  static UTF16String AddTrailingSlash(const UTF16String& path);
  // The directory part of a file path, without a trailing separator except
  // for a root.
  static UTF16String GetFullDirectoryPart(const UTF16String& path);
  static bool ExistsOnDisk(const UTF16String& path, bool directoriesCount);
};

// The foundation library's view of a loaded module.
class QUENOR_API Module {
 public:
  explicit Module(void* instance);
  void* Instance() const { return instance_; }

  static int Create(void* instance, boost::shared_ptr<Module>& holder);

 private:
  void* instance_;
};

}  // namespace Quenor
