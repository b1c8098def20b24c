#include "prefetch/lists/prefetch_lists.h"

#include <tinyxml.h>

#include "prefetch/lists/entry_expansion.h"
#include "prefetch/lists/list_document.h"
#include "prefetch/lists/list_entry.h"
#include "prefetch/locations/standard_locations.h"
#include "prefetch/worker/cancel_flag.h"

namespace SpeedLauncher {
namespace {

const char* ListFileName(std::uint32_t mode) {
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
      return "";
  }
}

// Comments and text among the siblings are not sections or entries.
const TiXmlElement* NextElement(const TiXmlNode* node) {
  for (node = node->NextSibling(); node != nullptr; node = node->NextSibling()) {
    if (const TiXmlElement* element = node->ToElement()) return element;
  }
  return nullptr;
}

}  // namespace

std::string ListFilePathIn(const std::string& directory, std::uint32_t mode) {
  return directory + ListFileName(mode);
}

std::string ListFilePath(std::uint32_t mode) { return ListFilePathIn(ExecutableDirectory(), mode); }

bool LoadLists(std::uint32_t mode) { return LoadListsFrom(ExecutableDirectory(), mode, Lists()); }

bool LoadListsFrom(const std::string& directory, std::uint32_t mode, ApplicationLists& lists) {
  TiXmlDocument document;
  if (!LoadListDocument(ListFilePathIn(directory, mode), document)) return false;
  const TiXmlElement* root = document.RootElement();
  if (root == nullptr) return true;
  for (const TiXmlElement* section = root->FirstChildElement("Application"); section != nullptr;
       section = NextElement(section)) {
    const char* name = section->Attribute("name");
    if (name == nullptr) continue;
    if (ApplicationList* list = lists.Find(name)) ExpandFileListFrom(*section, directory, *list);
  }
  return true;
}

bool ExpandFileList(const TiXmlElement& section, ApplicationList& list) {
  return ExpandFileListFrom(section, ExecutableDirectory(), list);
}

bool ExpandFileListFrom(const TiXmlElement& section, const std::string& defaultBase,
                        ApplicationList& list) {
  const TiXmlElement* fileList = section.FirstChildElement("FileList");
  if (fileList == nullptr) return true;
  for (const TiXmlElement* file = fileList->FirstChildElement("File"); file != nullptr;
       file = NextElement(file)) {
    if (CancelRequested()) return false;
    if (!ExpandEntry(ListEntry::FromElement(*file), defaultBase, list)) return false;
  }
  return true;
}

}  // namespace SpeedLauncher
