#pragma once

#include <tinyxml.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "prefetch/lists/application_lists.h"
#include "prefetch/lists/entry_expansion.h"
#include "prefetch/lists/prefetch_item.h"

namespace SpeedLauncher {

// "/SpeedLauncher-<name>.xml" for modes 1, 3, 4 and 5; empty otherwise.
std::string ListFileName(std::uint32_t mode);
// The executable's directory followed by the mode's file name.
std::string ListFilePath(std::uint32_t mode);

// Loads the mode's list file into the process-wide lists. False when the
// file cannot be opened or parsed.
bool LoadLists(std::uint32_t mode);
// Appends the section's items to list; false when the cancel flag stopped it.
bool ExpandFileList(const TiXmlElement& section, PrefetchList& list);

// The same two over any list file, set of lists and context.
bool LoadListFile(const std::string& path, ApplicationLists& lists,
                  const ExpansionContext& context);
bool ExpandSection(const TiXmlElement& section, PrefetchList& list,
                   const ExpansionContext& context);

// Takes each item of a list file with the name of the list it belongs to.
using NamedItemSink =
    std::function<void(std::string_view list, const std::string& path, bool isForeground)>;

// Expands every section of a known name, handing the items over in the
// order LoadListFile appends them, without keeping them. False when the
// file cannot be opened or parsed.
bool ExpandListFile(const std::string& path, const NamedItemSink& add,
                    const ExpansionContext& context);
// The same for a list's text already read (from standard input, say).
bool ExpandListText(std::string text, const NamedItemSink& add, const ExpansionContext& context);
bool ExpandSection(const TiXmlElement& section, const ItemSink& add,
                   const ExpansionContext& context);

}  // namespace SpeedLauncher
