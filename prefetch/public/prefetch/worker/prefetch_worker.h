#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "prefetch/lists/application_lists.h"
#include "prefetch/lists/prefetch_item.h"

// The prefetcher's entry points: the launcher calls Start(5) early, on its
// main thread, and Stop() just before the process ends.
namespace SpeedLauncher {

// Loads the mode's list file and reads the foreground items of the mode's
// own list. False when the lists cannot be loaded, the mode reads no list,
// or the cancel flag stopped the reading.
bool Start(std::uint32_t mode);
// Sets the cancel flag and joins the worker slot. Safe to call twice.
void Stop();

// False when it stopped on the cancel flag.
bool ReadForegroundItems(const PrefetchList& list);
void PrefetchFile(const std::string& path);

// The name of the list that Start reads in the mode ("marl", "tarn",
// "pellicor" for 1, 3, 5), or empty.
std::string_view ListNameReadInMode(std::uint32_t mode);
// That list, or null.
const PrefetchList* ListReadInMode(const ApplicationLists& lists, std::uint32_t mode);

}  // namespace SpeedLauncher
