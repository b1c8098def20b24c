#pragma once

#include <tinyxml.h>

#include <string>
#include <string_view>

// How a parsed prefetch list is laid out: the sections below the root, the
// entries of a section and the attributes of an entry. Only elements count;
// comments and text among the siblings are passed over.
namespace SpeedLauncher {

// The root's first "Application" element, or null.
const TiXmlElement* FirstSection(const TiXmlDocument& document);
// The first "File" element of the section's first "FileList", or null.
const TiXmlElement* FirstEntry(const TiXmlElement& section);
// The next sibling that is an element, whatever its name, or null.
const TiXmlElement* NextElement(const TiXmlElement& element);

// The attribute's text; empty when absent.
std::string AttributeText(const TiXmlElement& element, const char* name);

struct EntryAttributes {
  std::string relativePath;
  std::string basePath;
  std::string keyword;
  std::string pattern;
  bool isForeground = false;

  bool NamesNothing() const { return relativePath.empty() && basePath.empty() && keyword.empty(); }
};

EntryAttributes ReadEntry(const TiXmlElement& entry);

// "isForeground" read as "%d" would: leading blanks, sign, digits. A number
// too large for an int is still non-zero.
bool ParseForeground(const std::string& text);

// True and the location when the keyword is one of the three known ones.
bool StandardLocation(std::string_view keyword, std::string& location);

// The entry's path: absolute paths unchanged, the rest joined to the base
// (or to defaultBase when the base is empty) with "/".
std::string FullPath(const EntryAttributes& entry, const std::string& defaultBase);

}  // namespace SpeedLauncher
