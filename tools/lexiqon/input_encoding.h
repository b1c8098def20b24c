#pragma once

#include <string>

namespace lexiqon {

// The bytes of a text source in what the dictionary reads. encoding is
// "utf-8" (UTF-16 with a byte-order mark comes out), "utf-16" (a mark is
// added where none is, little-endian assumed), "ansi" (unchanged) or empty:
// unchanged unless a UTF-8 byte-order mark says UTF-8. Compiled files pass
// unchanged. Throws FileError for text that is not what it claims.
std::string ToDictionaryBytes(const std::string& path, const std::string& bytes,
                              const std::string& encoding);

}  // namespace lexiqon
