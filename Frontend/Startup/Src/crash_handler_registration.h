#pragma once

#include "vantilcore/allocator.h"

namespace Startup {

// The full path of the crash handler module beside the executable; empty
// when the executable's directory cannot be told.
UTF16String GetCrashHandlerPath();

// Registers the crash handler for as long as it lives.
class CrashHandlerRegistration {
 public:
  explicit CrashHandlerRegistration(void* context);
  ~CrashHandlerRegistration();
  CrashHandlerRegistration(const CrashHandlerRegistration&) = delete;
  CrashHandlerRegistration& operator=(const CrashHandlerRegistration&) = delete;

 private:
  void* context_;
};

}  // namespace Startup
