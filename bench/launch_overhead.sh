#!/usr/bin/env bash
# Times the launcher, handing over to a module whose "Run" returns at once,
# against a minimal program that loads one library and calls one function,
# in one run, and prints the ratio. Without prefetch list and dictionaries.
# Usage: bench/launch_overhead.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/tree" >/dev/null
rm -rf "$work/tree/SpeedLauncher-pellicor.xml" "$work/tree/Dictionaries"
cp "$build/bench/quick/Stoven.dll" "$work/tree/Stoven.dll"
export XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data" XDG_DATA_DIRS="$work/share" LANG=en_US.UTF-8
mkdir -m 700 -p "$XDG_RUNTIME_DIR"

hyperfine --warmup 20 --runs 300 -N --export-csv "$work/times.csv" \
  -n launcher "$work/tree/Pellicor" \
  -n minimal "$build/bench/minimal_host $build/bench/libminimal_library.so" >&2

awk -F, 'NR==2 {l=$2} NR==3 {m=$2}
  END {printf "launcher %.3f ms, minimal %.3f ms, ratio %.2f (goal <= 1.5)\n", l*1000, m*1000, l/m}' \
  "$work/times.csv"
