#include "prefetch/lists/list_structure.h"

#include <boost/filesystem/path.hpp>
#include <cstdlib>

#include "prefetch/locations/standard_locations.h"

namespace SpeedLauncher {

const TiXmlElement* FirstSection(const TiXmlDocument& document) {
  const TiXmlElement* root = document.FirstChildElement();
  if (root == nullptr) return nullptr;
  return root->FirstChildElement("Application");
}

const TiXmlElement* FirstEntry(const TiXmlElement& section) {
  const TiXmlElement* fileList = section.FirstChildElement("FileList");
  if (fileList == nullptr) return nullptr;
  return fileList->FirstChildElement("File");
}

const TiXmlElement* NextElement(const TiXmlElement& element) {
  return element.NextSiblingElement();
}

std::string AttributeText(const TiXmlElement& element, const char* name) {
  const char* text = element.Attribute(name);
  return text == nullptr ? std::string() : std::string(text);
}

bool ParseForeground(const std::string& text) {
  return std::strtol(text.c_str(), nullptr, 10) != 0;
}

EntryAttributes ReadEntry(const TiXmlElement& entry) {
  EntryAttributes attributes;
  attributes.relativePath = AttributeText(entry, "fileRelativePath");
  attributes.basePath = AttributeText(entry, "fileBasePath");
  attributes.keyword = AttributeText(entry, "fileStandardPath");
  attributes.pattern = AttributeText(entry, "regex");
  attributes.isForeground = ParseForeground(AttributeText(entry, "isForeground"));
  return attributes;
}

bool StandardLocation(std::string_view keyword, std::string& location) {
  if (keyword == "CommonFonts") {
    location = CommonFontsFolder();
  } else if (keyword == "FileFormatPlug-Ins") {
    location = FileFormatPlugInsFolder();
  } else if (keyword == "Rokapod") {
    location = RokapodFolder();
  } else {
    return false;
  }
  return true;
}

std::string FullPath(const EntryAttributes& entry, const std::string& defaultBase) {
  if (boost::filesystem::path(entry.relativePath).is_absolute()) return entry.relativePath;
  std::string base = entry.basePath;
  StandardLocation(entry.keyword, base);
  if (base.empty()) base = defaultBase;
  return base + "/" + entry.relativePath;
}

}  // namespace SpeedLauncher
