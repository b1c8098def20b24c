#include "prefetch/lists/prefetch_lists.h"

#include <algorithm>
#include <iostream>

#include "prefetch/lists/list_file.h"
#include "prefetch/lists/list_structure.h"
#include "prefetch/locations/standard_locations.h"

namespace SpeedLauncher {
namespace {

ExpansionContext ProcessContext() {
  return ExpansionContext{ExecutableDirectory(), ProcessCancelCheck(), &std::cerr, {}};
}

// The sections of a parsed list, each of a known name.
void ExpandListDocument(const TiXmlDocument& document, const NamedItemSink& add,
                        const ExpansionContext& context) {
  for (const TiXmlElement* section = FirstSection(document); section != nullptr;
       section = NextElement(*section)) {
    // A section without a name, or with an unknown one, is skipped.
    const std::string name = AttributeText(*section, "name");
    if (std::find(kApplicationNames.begin(), kApplicationNames.end(), name) ==
        kApplicationNames.end()) {
      continue;
    }
    ExpandSection(
        *section,
        [&add, &name](const std::string& item, bool isForeground) {
          add(name, item, isForeground);
        },
        context);
  }
}

}  // namespace

std::string ListFileName(std::uint32_t mode) {
  switch (mode) {
    case 1:
      return "/SpeedLauncher-marl.xml";
    case 3:
      return "/SpeedLauncher-tarn.xml";
    case 4:
      return "/SpeedLauncher-zolt.xml";
    case 5:
      return "/SpeedLauncher-pellicor.xml";
    default:
      return {};
  }
}

std::string ListFilePath(std::uint32_t mode) { return ExecutableDirectory() + ListFileName(mode); }

bool LoadLists(std::uint32_t mode) {
  return LoadListFile(ListFilePath(mode), ProcessLists(), ProcessContext());
}

bool ExpandFileList(const TiXmlElement& section, PrefetchList& list) {
  return ExpandSection(section, list, ProcessContext());
}

bool LoadListFile(const std::string& path, ApplicationLists& lists,
                  const ExpansionContext& context) {
  return ExpandListFile(
      path,
      [&lists](std::string_view name, const std::string& item, bool isForeground) {
        lists.Find(name)->push_back({item, isForeground});
      },
      context);
}

bool ExpandListFile(const std::string& path, const NamedItemSink& add,
                    const ExpansionContext& context) {
  TiXmlDocument document;
  document.SetTabSize(0);  // no row and column per node: the expansion reports none
  if (!ParseListFile(path, document)) return false;
  ExpandListDocument(document, add, context);
  return true;
}

bool ExpandListText(std::string text, const NamedItemSink& add, const ExpansionContext& context) {
  TiXmlDocument document;
  document.SetTabSize(0);
  if (!ParseListText(std::move(text), document)) return false;
  ExpandListDocument(document, add, context);
  return true;
}

bool ExpandSection(const TiXmlElement& section, PrefetchList& list,
                   const ExpansionContext& context) {
  return ExpandSection(
      section,
      [&list](const std::string& item, bool isForeground) {
        list.push_back({item, isForeground});
      },
      context);
}

bool ExpandSection(const TiXmlElement& section, const ItemSink& add,
                   const ExpansionContext& context) {
  for (const TiXmlElement* entry = FirstEntry(section); entry != nullptr;
       entry = NextElement(*entry)) {
    if (context.cancelled()) return false;
    if (ExpandEntry(ReadEntry(*entry), context, add) == EntryResult::kCancelled) return false;
  }
  return true;
}

}  // namespace SpeedLauncher
