#include <atomic>
#include <cstdio>
#include <new>

#include "vantilcore/config.h"

namespace vantilcore::config {
namespace {

std::atomic<ErrorManager*> installedManager{nullptr};
std::atomic<std::new_handler> previousHandler{nullptr};

[[noreturn]] void ReportOutOfMemory() {
  std::fputs("vantilcore: out of memory\n", stderr);
  throw std::bad_alloc();
}

}  // namespace

ErrorManager::ErrorManager() = default;
ErrorManager::~ErrorManager() = default;

void ErrorManager::Set(ErrorManager* manager) {
  installedManager.store(manager, std::memory_order_release);
}

ErrorManager::NewHandlerInitializer::NewHandlerInitializer() {
  previousHandler.store(std::set_new_handler(&ReportOutOfMemory));
}

ErrorManager::NewHandlerInitializer::~NewHandlerInitializer() {
  std::set_new_handler(previousHandler.exchange(nullptr));
}

}  // namespace vantilcore::config
