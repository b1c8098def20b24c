#pragma once

#include <string_view>

#include "prefetch/lists/prefetch_item.h"

namespace SpeedLauncher {

// The five lists one list file fills, one per application of the family.
struct ApplicationLists {
  ApplicationList common;
  ApplicationList marl;
  ApplicationList tarn;
  ApplicationList zolt;
  ApplicationList pellicor;

  // Null for a name that is not one of the five (compared byte for byte).
  ApplicationList* Find(std::string_view name);
};

// The process-wide lists: empty at start, only ever appended to.
ApplicationLists& Lists();

}  // namespace SpeedLauncher
