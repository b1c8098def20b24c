#!/usr/bin/env bash
# The Windows build and its end-to-end suite under Wine: builds and installs
# the Windows tree (scripts/windows-build.sh, which reuses the dependency
# cache), then runs tests/wine/run-suite.sh on it, which installs wine64 when
# missing.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${PELLICOR_WINDOWS_BUILD:-$root/build/windows}"
install="${PELLICOR_WINDOWS_INSTALL:-$root/build/windows-install}"

PELLICOR_WINDOWS_BUILD="$build" bash "$root/scripts/windows-build.sh" "$install"
# The lexiqon that compiled the dictionaries, for the suite to compare
# outputs with Linux.
PELLICOR_HOST_LEXIQON="$(sed -n 's/^PELLICOR_HOST_LEXIQON:FILEPATH=//p' "$build/CMakeCache.txt")"
export PELLICOR_HOST_LEXIQON
# Every Wine call has its own limit; this one bounds the whole suite.
timeout 1200 bash "$root/tests/wine/run-suite.sh" "$install" "$build/tests/wine"
