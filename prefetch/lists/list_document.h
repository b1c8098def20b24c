#pragma once

#include <string>

class TiXmlDocument;

namespace SpeedLauncher {

// Loads a list file (UTF-8 path) into `document`. False when it is not a
// regular file, cannot be opened, is empty or is not well-formed.
bool LoadListDocument(const std::string& path, TiXmlDocument& document);

}  // namespace SpeedLauncher
