#pragma once

#include <string>

namespace lexiqon {

// The whole content of the file the user named; "-" is standard input.
// Throws FileError with the system's reason and the user's path.
std::string ReadInput(const std::string& path);

// Throws FileError as ReadInput would, without reading the file through.
void CheckReadable(const std::string& path);

}  // namespace lexiqon
