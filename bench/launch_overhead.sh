#!/usr/bin/env bash
# Times the launcher against the least a program must do to start the same
# application module, in alternating rounds, and prints the ratios:
#  1. the launcher handing over to a module whose "Run" returns at once, with
#     no prefetch list and no dictionaries, against a program that only loads
#     one library and calls one function (goal <= 1.5);
#  2. the demo installation as it ships (its prefetch list, its dictionaries,
#     the demo Stoven.dll) against a program that only loads that Stoven.dll
#     and calls "Run" (goal <= 1.3), with the launcher also timed without the
#     prefetch list and without the dictionaries, to show where the rest goes.
# Usage: [RUNS=400] [ROUNDS=10] bench/launch_overhead.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${RUNS:-400}
rounds=${ROUNDS:-10}

work=$(mktemp -d)
# The runtime folder (where the registry store keeps the crash handler's
# value) is in memory, as /run/user/UID is on a desktop.
run=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work" "$run"' EXIT
export XDG_RUNTIME_DIR="$run" XDG_DATA_HOME="$work/data" XDG_DATA_DIRS="$work/share" LANG=en_US.UTF-8
chmod 700 "$XDG_RUNTIME_DIR"

# compare TITLE GOAL NAME COMMAND ... (the last command is the reference)
# Rounds of hyperfine, the commands' order reversed every other round, so
# that a drift of the machine's speed weighs on every command alike; medians,
# as a start of a few milliseconds is easily doubled by one preemption on a
# shared machine and means follow those outliers. Prints each command's
# median over all rounds and the median of the rounds' ratios.
compare() {
  local title=$1 goal=$2
  shift 2
  local names=() commands=()
  while [[ $# -gt 0 ]]; do names+=("$1"); commands+=("$2"); shift 2; done
  local count=${#names[@]} round
  for ((round = 0; round < rounds; ++round)); do
    local args=() i
    for ((i = 0; i < count; ++i)); do
      local at=$i
      ((round % 2 == 1)) && at=$((count - 1 - i))
      args+=(-n "${names[at]}" "${commands[at]}")
    done
    # hyperfine's outlier warnings go to its log: the medians are robust to them
    hyperfine --warmup 5 --runs $((runs / rounds)) -N --export-csv "$work/round.csv" "${args[@]}" \
      >>"$work/hyperfine.log" 2>&1
    # name,mean,stddev,median,...: one line per command, in the given order
    local i2
    for ((i2 = 0; i2 < count; ++i2)); do
      awk -F, -v name="${names[i2]}" -v round="$round" -v index_="$i2" \
        'NR>1 && $1==name {print round, index_, $4}' "$work/round.csv"
    done
  done >"$work/medians"
  echo "$title:"
  awk -v count="$count" -v goal="$goal" -v names="$(printf '%s\n' "${names[@]}")" '
    function median(values, n,   i, j, t) {
      for (i = 2; i <= n; ++i) for (j = i; j > 1 && values[j-1] > values[j]; --j) {
        t = values[j]; values[j] = values[j-1]; values[j-1] = t }
      return n % 2 ? values[(n+1)/2] : (values[n/2] + values[n/2+1]) / 2
    }
    { time[$1, $2] = $3; if ($1 + 1 > rounds) rounds = $1 + 1 }
    END {
      split(names, name, "\n")
      for (c = 0; c < count; ++c) {
        for (r = 0; r < rounds; ++r) v[r+1] = time[r, c]
        printf "  %-28s %.3f ms\n", name[c+1], median(v, rounds) * 1000
      }
      for (r = 0; r < rounds; ++r) v[r+1] = time[r, 0] / time[r, count-1]
      printf "  ratio %.2f, rounds from %.2f to %.2f (goal <= %s)\n", median(v, rounds),
        v[1], v[rounds], goal
    }' "$work/medians"
}

# 1. Bare launch.
cmake --install "$build" --prefix "$work/bare" >/dev/null
rm -rf "$work/bare/SpeedLauncher-pellicor.xml" "$work/bare/Dictionaries"
cp "$build/bench/quick/Stoven.dll" "$work/bare/Stoven.dll"
compare "bare launch" 1.5 \
  launcher "$work/bare/Pellicor" \
  minimal "$build/bench/minimal_host $build/bench/libminimal_library.so"

# 2. The demo installation.
cmake --install "$build" --prefix "$work/demo" >/dev/null
cp -r "$work/demo" "$work/nolist" && rm "$work/nolist/SpeedLauncher-pellicor.xml"
cp -r "$work/demo" "$work/nodict" && rm -r "$work/nodict/Dictionaries"
cp "$build/bench/run_host" "$work/demo/"  # finds the libraries beside it
compare "demo installation" 1.3 \
  "demo launcher" "$work/demo/Pellicor" \
  "without the prefetch list" "$work/nolist/Pellicor" \
  "without the dictionaries" "$work/nodict/Pellicor" \
  "run host" "$work/demo/run_host $work/demo/Stoven.dll"
