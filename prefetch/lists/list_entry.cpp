#include "prefetch/lists/list_entry.h"

#include <tinyxml.h>

#include "prefetch/locations/standard_locations.h"

namespace SpeedLauncher {
namespace {

std::string Attribute(const TiXmlElement& element, const char* name) {
  const char* value = element.Attribute(name);
  return value ? std::string(value) : std::string();
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

ListEntry ListEntry::FromElement(const TiXmlElement& element) {
  ListEntry entry;
  entry.relativePath = Attribute(element, "fileRelativePath");
  entry.basePath = Attribute(element, "fileBasePath");
  entry.standardPath = Attribute(element, "fileStandardPath");
  entry.pattern = Attribute(element, "regex");
  entry.isForeground = ParseForeground(Attribute(element, "isForeground"));
  return entry;
}

bool ParseForeground(const std::string& text) {
  std::size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  for (; at < text.size() && IsDigit(text[at]); ++at) {
    if (text[at] != '0') return true;
  }
  return false;
}

bool StandardLocation(const std::string& keyword, std::string& location) {
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

}  // namespace SpeedLauncher
