#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "options.h"
#include "prefetch/lists/application_lists.h"
#include "prefetch/lists/prefetch_lists.h"

namespace speedlauncher {

// The list named with --list, else the mode's list file in the options'
// directory. Empty when the mode has no list file.
std::string ListFileFor(const Options& options);

// Loads and expands it as the launcher would, into `lists`. Walk errors are
// reported on errors (as warnings) and counted in walkErrors when given.
// False (with a message) when it cannot be loaded.
bool LoadListsFor(const Options& options, SpeedLauncher::ApplicationLists& lists,
                  std::ostream& errors, int* walkErrors = nullptr);

// The same, handing each item over as it is made instead of keeping it.
bool ExpandListFor(const Options& options, const SpeedLauncher::NamedItemSink& add,
                   std::ostream& errors, int* walkErrors = nullptr);

// The paths warm reads, in reading order: the mode's foreground items, each
// path once. False (with a message) when the list cannot be loaded or the
// mode reads none.
bool FilesWarmReads(const Options& options, std::vector<std::string>& paths, std::ostream& errors);

}  // namespace speedlauncher
