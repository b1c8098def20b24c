#!/usr/bin/env bash
# The Windows build and its end-to-end suite under Wine: installs wine64 when
# missing, builds and installs the Windows tree (scripts/windows-build.sh,
# which reuses the dependency cache), then runs tests/wine/run-suite.sh.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${PELLICOR_WINDOWS_BUILD:-$root/build/windows}"
install="${PELLICOR_WINDOWS_INSTALL:-$root/build/windows-install}"

status=$(dpkg-query -W -f='${Status}' wine64 2>/dev/null || true)
if [[ "$status" != "install ok installed" ]]; then
  if [[ $(id -u) -ne 0 ]]; then
    echo "windows-test: wine64 is missing (run as root or install it)" >&2
    exit 1
  fi
  echo "windows-test: installing wine64"
  DEBIAN_FRONTEND=noninteractive apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine64
fi

PELLICOR_WINDOWS_BUILD="$build" bash "$root/scripts/windows-build.sh" "$install"
timeout 1200 bash "$root/tests/wine/run-suite.sh" "$install" "$build/tests/wine"
