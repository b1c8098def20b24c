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

// Elements nested deeper than this are refused as not well-formed: the
// parser descends one call per level and would run out of stack.
inline constexpr int kMaxListNesting = 1000;

// True when the text's elements nest deeper than kMaxListNesting.
bool NestsTooDeeply(const std::string& text);

}  // namespace SpeedLauncher
