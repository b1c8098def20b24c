#pragma once

#include <memory>

#include "vantilcore/allocator.h"
#include "vantilcore/config.h"

namespace Startup {

// The application's data folder: all users' or the user's, then the company,
// the application and (unless all users without version) the version, each
// ending in a separator.
UTF16String GetAppDataFolder(bool allUsers, bool withVersion);

// Brings the core library into service for the application and takes it
// down again, on the thread that constructs it.
class VantilInitializer {
 public:
  VantilInitializer();
  ~VantilInitializer();
  VantilInitializer(const VantilInitializer&) = delete;
  VantilInitializer& operator=(const VantilInitializer&) = delete;

 private:
  void Construct();
  void WithdrawInstallations();

  std::unique_ptr<vantilcore::config::ErrorManager> errorManager_;
  std::unique_ptr<vantilcore::config::ErrorManager::NewHandlerInitializer> newHandler_;
  std::unique_ptr<vantilcore::config::Localizer> localizer_;
  bool oleInitialized_ = false;
};

}  // namespace Startup
