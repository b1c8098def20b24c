#!/usr/bin/env bash
# Builds the launcher, installs the demo installation and starts it.
# Arguments are handed to the launcher ("Run" sees them as its command line).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/bootstrap.sh
cmake --preset default >/dev/null
cmake --build --preset default
rm -rf build/demo-install
cmake --install build/default --prefix build/demo-install >/dev/null

echo "== build/demo-install/Pellicor $*"
set +e
build/demo-install/Pellicor "$@"
status=$?
set -e
echo "== exit status $status"
