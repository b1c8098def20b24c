#pragma once

#include <string>

namespace speedlauncher {

// Why the launcher would pass over path as it passes over anything that is
// neither a regular file nor a folder: the system's reason ("No such file
// or directory", "Permission denied") or "not a regular file".
std::string WhyNotAFile(const std::string& path);

}  // namespace speedlauncher
