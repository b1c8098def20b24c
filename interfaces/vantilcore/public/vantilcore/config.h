#pragma once

#include "vantilcore/allocator.h"
#include "vantilcore/export.h"
#include "vantilcore/filesupport.h"

namespace vantilcore::config {

VANTILCORE_API void SetClientName(const UTF16String& name);
VANTILCORE_API void SetCompanyName(const UTF16String& name);
VANTILCORE_API void SetClientVersion(const UTF16String& version);
VANTILCORE_API void SetClientInternalVersion(const UTF16String& version);
VANTILCORE_API void SetClientBuildNumber(const UTF16String& build);
VANTILCORE_API void SetSAPCode(const UTF16String& code, const UTF16String& variant);

class VANTILCORE_API ErrorManager {
 public:
  ErrorManager();
  virtual ~ErrorManager();
  ErrorManager(const ErrorManager&) = delete;
  ErrorManager& operator=(const ErrorManager&) = delete;

  // Installs process-wide; null uninstalls. The caller keeps ownership.
  static void Set(ErrorManager* manager);

  // Routes allocation failure through the core library while it lives.
  class VANTILCORE_API NewHandlerInitializer {
   public:
    NewHandlerInitializer();
    ~NewHandlerInitializer();
    NewHandlerInitializer(const NewHandlerInitializer&) = delete;
    NewHandlerInitializer& operator=(const NewHandlerInitializer&) = delete;
  };
};

class VANTILCORE_API Localizer {
 public:
  Localizer();
  virtual ~Localizer();
  Localizer(const Localizer&) = delete;
  Localizer& operator=(const Localizer&) = delete;

  virtual UTF16String& GetLocalizedString(UTF16String& result, const char* text) = 0;
  virtual bool LoadDictionary(const UTF16String& directory) = 0;

  // Installs process-wide; null uninstalls. The caller keeps ownership.
  static void Set(Localizer* localizer, const filesupport::Dir& resources);
  static Localizer* Get();
};

}  // namespace vantilcore::config
