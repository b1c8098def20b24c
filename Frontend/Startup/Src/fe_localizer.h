#pragma once

#include <memory>

#include "tessvik/dictionary.h"
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
  // Adds the dictionary file found for `directory`; true when one was opened.
  bool LoadDictionary(const UTF16String& directory) override;

 private:
  bool FindDictionaryFile(const UTF16String& directory, UTF16String& path) const;
  void LookupLocked(UTF16String& result, const char* key);

  std::unique_ptr<tessvik::Dictionary> dictionary_;
};

}  // namespace FE
