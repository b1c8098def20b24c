#pragma once

#include <string>

// Well-known directories a prefetch list entry may be based on. All are
// UTF-8, asked of the operating system anew on every call, and never fail:
// an unknown folder gives an empty result (or a fixed tail starting "/").
namespace SpeedLauncher {

// The running executable's directory, "/" separated, no trailing separator.
std::string ExecutableDirectory();
// The common program files folder as the operating system writes it.
std::string CommonFilesFolder();
// Base of the keyword "CommonFonts".
std::string CommonFontsFolder();
// Base of the keyword "FileFormatPlug-Ins".
std::string FileFormatPlugInsFolder();
// Base of the keyword "Rokapod".
std::string RokapodFolder();

}  // namespace SpeedLauncher
