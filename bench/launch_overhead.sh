#!/usr/bin/env bash
# Times the launcher against the least a program must do to start the same
# application module, in one run each, and prints the ratios:
#  1. the launcher handing over to a module whose "Run" returns at once, with
#     no prefetch list and no dictionaries, against a program that only loads
#     one library and calls one function (goal <= 1.5);
#  2. the demo installation as it ships (its prefetch list, its dictionaries,
#     the demo Stoven.dll) against a program that only loads that Stoven.dll
#     and calls "Run" (goal <= 1.3), with the launcher also timed without the
#     prefetch list and without the dictionaries, to show where the rest goes.
# Usage: bench/launch_overhead.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${RUNS:-300}

work=$(mktemp -d)
# The runtime folder (where the registry store keeps the crash handler's
# value) is in memory, as /run/user/UID is on a desktop.
run=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work" "$run"' EXIT
export XDG_RUNTIME_DIR="$run" XDG_DATA_HOME="$work/data" XDG_DATA_DIRS="$work/share" LANG=en_US.UTF-8
chmod 700 "$XDG_RUNTIME_DIR"

ratio() {  # CSV GOAL: the first row against the last
  awk -F, -v goal="$2" 'NR>1 {name[NR]=$1; mean[NR]=$2; n=NR}
    END {for (i = 2; i <= n; ++i) printf "  %-28s %.3f ms\n", name[i], mean[i]*1000;
         printf "  ratio %.2f (goal <= %s)\n", mean[2]/mean[n], goal}' "$1"
}

# 1. Bare launch.
cmake --install "$build" --prefix "$work/bare" >/dev/null
rm -rf "$work/bare/SpeedLauncher-pellicor.xml" "$work/bare/Dictionaries"
cp "$build/bench/quick/Stoven.dll" "$work/bare/Stoven.dll"
hyperfine --warmup 20 --runs "$runs" -N --export-csv "$work/bare.csv" \
  -n launcher "$work/bare/Pellicor" \
  -n minimal "$build/bench/minimal_host $build/bench/libminimal_library.so" >&2

# 2. The demo installation.
cmake --install "$build" --prefix "$work/demo" >/dev/null
cp -r "$work/demo" "$work/nolist" && rm "$work/nolist/SpeedLauncher-pellicor.xml"
cp -r "$work/demo" "$work/nodict" && rm -r "$work/nodict/Dictionaries"
hyperfine --warmup 20 --runs "$runs" -N --export-csv "$work/demo.csv" \
  -n "demo launcher" "$work/demo/Pellicor" \
  -n "without the prefetch list" "$work/nolist/Pellicor" \
  -n "without the dictionaries" "$work/nodict/Pellicor" \
  -n "run host" "$build/bench/run_host $work/demo/Stoven.dll" >&2

echo "bare launch:"
ratio "$work/bare.csv" 1.5
echo "demo installation:"
ratio "$work/demo.csv" 1.3
