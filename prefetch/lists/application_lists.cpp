#include "prefetch/lists/application_lists.h"

#include <algorithm>

namespace SpeedLauncher {

PrefetchList* ApplicationLists::Find(std::string_view name) {
  const auto found = std::find(kApplicationNames.begin(), kApplicationNames.end(), name);
  if (found == kApplicationNames.end()) return nullptr;
  return &lists_[static_cast<std::size_t>(found - kApplicationNames.begin())];
}

const PrefetchList* ApplicationLists::Find(std::string_view name) const {
  return const_cast<ApplicationLists*>(this)->Find(name);
}

namespace {

// Built during static initialisation and kept until process exit.
ApplicationLists processLists;

}  // namespace

ApplicationLists& ProcessLists() { return processLists; }

}  // namespace SpeedLauncher
