#pragma once

#include <string>

#include "vantilcore/allocator.h"
#include "vantilcore/config.h"
#include "vantilcore/threads.h"

namespace FE {

// Held around every lookup: the installed localizer is reachable from any
// thread of the process.
extern vantilcore::threads::RecursiveMutex LocalizerLock;

// Turns "$$$/path=default" texts into the user's language.
class Localizer : public vantilcore::config::Localizer {
 public:
  Localizer();
  ~Localizer() override;

  UTF16String& GetLocalizedString(UTF16String& result, const char* text) override;
  bool LoadDictionary(const UTF16String& directory) override;

 private:
  void LookupLocked(UTF16String& result, const std::string& key);
};

}  // namespace FE
