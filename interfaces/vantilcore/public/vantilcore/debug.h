#pragma once

#include <map>
#include <mutex>

#include "vantilcore/allocator.h"
#include "vantilcore/export.h"

namespace vantilcore::debug {

// Reports a failed assertion; true when the user asks to break. With nobody
// to answer it writes the report to standard error and returns false.
VANTILCORE_API bool BreakAfterAssertDialog(bool& ignore, const char* expression,
                                           const char* message, const char* file, int line,
                                           const char* function, bool offerBreak);
VANTILCORE_API bool IsDebuggerAttached();

// key=value settings of the user, read once from a file in the user's
// application data folder; entries set at run time live in memory only.
class VANTILCORE_API DebugDatabase {
 public:
  static DebugDatabase& Instance();

  UTF8String GetEntry(const UTF8String& key, const UTF8String& defaultValue);
  void SetEntry(const UTF8String& key, const UTF8String& value);

  // The text "true", for callers that switch an entry on.
  UTF8String trueValue;

 private:
  DebugDatabase();
  std::mutex mutex_;
  std::map<UTF8String, UTF8String> entries_;
};

}  // namespace vantilcore::debug
