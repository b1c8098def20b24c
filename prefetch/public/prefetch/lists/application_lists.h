#pragma once

#include <array>
#include <string_view>

#include "prefetch/lists/prefetch_item.h"

namespace SpeedLauncher {

inline constexpr std::array<std::string_view, 5> kApplicationNames = {"common", "marl", "tarn",
                                                                      "zolt", "pellicor"};

// One list per application of the family, in the order of kApplicationNames.
class ApplicationLists {
 public:
  // Null for a name that is not one of the five (compared byte for byte).
  PrefetchList* Find(std::string_view name);
  const PrefetchList* Find(std::string_view name) const;

 private:
  std::array<PrefetchList, kApplicationNames.size()> lists_;
};

// The process-wide lists that LoadLists fills and Start reads.
ApplicationLists& ProcessLists();

}  // namespace SpeedLauncher
