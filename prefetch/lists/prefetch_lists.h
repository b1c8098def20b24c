#pragma once

#include <cstdint>
#include <string>

#include "prefetch/lists/application_lists.h"

class TiXmlElement;

namespace SpeedLauncher {

// The list file of a launch mode beside the executable (UTF-8).
std::string ListFilePath(std::uint32_t mode);
// The same for an executable lying in `directory`.
std::string ListFilePathIn(const std::string& directory, std::uint32_t mode);

// Loads the mode's list file and appends every section to the process-wide
// lists. False when the file cannot be opened or parsed.
bool LoadLists(std::uint32_t mode);
// The same as if the executable lay in `directory`, appending to `lists`.
bool LoadListsFrom(const std::string& directory, std::uint32_t mode, ApplicationLists& lists);

// Appends the entries of one "Application" section; false when the cancel
// flag stopped it. Relative entries are based on the executable's directory.
bool ExpandFileList(const TiXmlElement& section, ApplicationList& list);
bool ExpandFileListFrom(const TiXmlElement& section, const std::string& defaultBase,
                        ApplicationList& list);

}  // namespace SpeedLauncher
