#pragma once

#include <iosfwd>

#include "options.h"

namespace speedlauncher {

// Each returns the exit status; `options.directory` is already filled in.
int RunExpand(const Options& options, std::ostream& out, std::ostream& errors);
int RunCheck(const Options& options, std::ostream& out, std::ostream& errors);
int RunWarm(const Options& options, std::ostream& out, std::ostream& errors);
int RunResident(const Options& options, std::ostream& out, std::ostream& errors);
int RunEvict(const Options& options, std::ostream& out, std::ostream& errors);
int RunRecord(const Options& options, std::ostream& out, std::ostream& errors);

}  // namespace speedlauncher
