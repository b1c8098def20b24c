#pragma once

#include <iosfwd>
#include <string>

#include "prefetch/lists/application_lists.h"
#include "prefetch/lists/prefetch_lists.h"
#include "tools/speedlauncher/options.h"

namespace speedlauncher {

// The mode's list file as if the launcher lay in the options' directory.
std::string ListFileFor(const Options& options);

// Loads and expands it as the launcher would, into `lists`; file-system
// error texts go to `errors`. False (with a message) when it cannot be loaded.
bool LoadListsFor(const Options& options, SpeedLauncher::ApplicationLists& lists,
                  std::ostream& errors);

// The same, handing each item over as it is made instead of keeping it.
bool ExpandListFor(const Options& options, const SpeedLauncher::NamedItemSink& add,
                   std::ostream& errors);

}  // namespace speedlauncher
