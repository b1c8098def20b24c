#pragma once

#include <string>

// The directories a prefetch list may name. Each asks the operating system
// anew and never fails: an unknown folder gives an empty string (or, for
// the two fixed tails, a path starting with "/").
namespace SpeedLauncher {

// The running executable's directory, "/" separators, no trailing one.
std::string ExecutableDirectory();
// The common program files folder as the system writes it, or empty.
std::string CommonFilesFolder();
// Base of the keyword "CommonFonts".
std::string CommonFontsFolder();
// Base of the keyword "FileFormatPlug-Ins".
std::string FileFormatPlugInsFolder();
// Base of the keyword "Rokapod".
std::string RokapodFolder();

}  // namespace SpeedLauncher
