#pragma once

#include <string>

#include "prefetch/lists/list_entry.h"
#include "prefetch/lists/prefetch_item.h"

namespace SpeedLauncher {

// The path an entry names: an absolute relative path as it stands, otherwise
// the base (or `defaultBase` when there is none) joined with "/".
std::string EntryFullPath(const ListEntry& entry, const std::string& defaultBase);

// Appends the files one entry names to `list`. A failure ends only this
// entry: file-system errors write "<category>:<number>" to standard error,
// others (a bad pattern) are silent. False when the cancel flag stopped it.
bool ExpandEntry(const ListEntry& entry, const std::string& defaultBase, ApplicationList& list);

}  // namespace SpeedLauncher
