#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "options.h"
#include "prefetch/lists/application_lists.h"
#include "prefetch/lists/prefetch_lists.h"

namespace speedlauncher {

// All of standard input, where "--list -" has the list.
std::string StandardInputText();

// The list named with --list ("-": standard input), else the mode's list file in the options'
// directory. Empty when the mode has no list file.
std::string ListFileFor(const Options& options);

// What an expansion passed over besides its items, each already reported
// on errors: walk errors (as errors) and the entries' paths that are
// neither a regular file nor a folder (not reported; the caller decides).
struct ExpansionReport {
  int walkErrors = 0;
  std::vector<std::string> passedOver;
};

// Loads and expands the list as the launcher would, into `lists`. False
// (with a message) when it cannot be loaded.
bool LoadListsFor(const Options& options, SpeedLauncher::ApplicationLists& lists,
                  std::ostream& errors, ExpansionReport* report = nullptr);

// The same, handing each item over as it is made instead of keeping it.
bool ExpandListFor(const Options& options, const SpeedLauncher::NamedItemSink& add,
                   std::ostream& errors, ExpansionReport* report = nullptr);

// The paths warm reads, in reading order: the mode's foreground items, each
// file once under its first name, and how many walks failed. False (with a message) when the
// list cannot be loaded or the mode reads none.
bool FilesWarmReads(const Options& options, std::vector<std::string>& paths, int& walkErrors,
                    std::ostream& errors);

}  // namespace speedlauncher
