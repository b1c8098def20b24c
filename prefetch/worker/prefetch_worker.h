#pragma once

#include <cstdint>
#include <string>

#include "prefetch/lists/prefetch_item.h"

// The start-up prefetcher: warms the file cache with the files the editor
// is about to open. Everything runs on the calling thread.
namespace SpeedLauncher {

// Loads the mode's list file and reads the foreground items of the mode's
// own list. True only when that list was read to its end.
bool Start(std::uint32_t mode);
// Sets the cancel flag and joins the (empty) worker slot.
void Stop();

// Reads every foreground item in order; false when the cancel flag stopped it.
bool ReadForegroundItems(const ApplicationList& list);
// Reads one file from beginning to end, discarding the data. A file that
// cannot be opened is passed over without a word.
void PrefetchFile(const std::string& path);

}  // namespace SpeedLauncher
