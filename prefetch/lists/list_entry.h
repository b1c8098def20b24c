#pragma once

#include <string>

class TiXmlElement;

namespace SpeedLauncher {

// The attributes of one "File" entry; each text is empty when absent.
struct ListEntry {
  std::string relativePath;
  std::string basePath;
  std::string standardPath;
  std::string pattern;
  bool isForeground = false;

  static ListEntry FromElement(const TiXmlElement& element);
};

// "%d" semantics reduced to what matters: leading blanks, a sign, digits;
// true when that number is non-zero. Never overflows.
bool ParseForeground(const std::string& text);

// The base directory a standard-path keyword names; false for an unknown keyword.
bool StandardLocation(const std::string& keyword, std::string& location);

}  // namespace SpeedLauncher
