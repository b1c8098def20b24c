#pragma once

// The executable names itself in a section of its file, "Pellicor 19.0
// (build 1)" as it was compiled, which the crash handler reads for the
// report. A section rather than a symbol: it survives stripping.
#define PELLICOR_APPLICATION_IDENTITY_SECTION ".pellicor.identity"

inline constexpr const char* kApplicationIdentitySection = PELLICOR_APPLICATION_IDENTITY_SECTION;
