#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace lexiqon {

// Each command takes the words after its name and returns the exit status;
// usage and file problems are thrown as UsageError and FileError.
int RunLookup(const std::vector<std::string>& words, std::ostream& out);
int RunContains(const std::vector<std::string>& words, std::ostream& out);
int RunCheck(const std::vector<std::string>& words, std::ostream& out);
int RunCompile(const std::vector<std::string>& words, std::ostream& out);
int RunDecompile(const std::vector<std::string>& words, std::ostream& out);
int RunStats(const std::vector<std::string>& words, std::ostream& out);

}  // namespace lexiqon
