#pragma once

#include <string>

namespace lexiqon {

// Writes bytes to the file the user named; "-" is standard output. A
// regular file (or a new one) is replaced through a fresh temporary file in
// its folder, with the old file's owner, group and permission bits, so a
// reader never sees half a file; the temporary file goes on SIGINT, SIGTERM
// and SIGHUP. A file with more than one hard link, in a folder the user
// cannot write, or whose owner the user cannot give a new file, is written
// in place once the content is complete. Anything else (a symbolic link,
// device, FIFO) is opened and written through, so the tool never replaces a
// file the user did not name. Throws FileError with the system's reason
// and the user's path.
void WriteOutput(const std::string& path, const std::string& bytes);

}  // namespace lexiqon
