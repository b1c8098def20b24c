#include <atomic>

#include "vantilcore/config.h"

namespace vantilcore::config {
namespace {

std::atomic<Localizer*> installedLocalizer{nullptr};

}  // namespace

Localizer::Localizer() = default;
Localizer::~Localizer() = default;

// The resource folder is the localizer's own business; it is not kept here.
void Localizer::Set(Localizer* localizer, const filesupport::Dir&) {
  installedLocalizer.store(localizer, std::memory_order_release);
}

Localizer* Localizer::Get() { return installedLocalizer.load(std::memory_order_acquire); }

}  // namespace vantilcore::config
