#pragma once

#include <tinyxml.h>

#include <string>

namespace SpeedLauncher {

// Reads the file at the UTF-8 path and parses it as UTF-8 XML, line ends
// made "\n" first. False when it cannot be opened or read, is empty, or is
// not well-formed.
bool ParseListFile(const std::string& path, TiXmlDocument& document);

// The same for text already in memory.
bool ParseListText(std::string text, TiXmlDocument& document);

}  // namespace SpeedLauncher
