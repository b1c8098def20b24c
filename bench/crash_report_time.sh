#!/usr/bin/env bash
# Times a crash from the fault to the process's death, report included
# (the crash host starting, every thread's stack, the report file), for a
# launcher with 1 and with 32 threads (goal: under 1 s with 32), against the
# same crash with no crash host to start, and against elfutils' eu-stack
# taking the stacks of the same 32-thread process (when installed).
# Usage: bench/crash_report_time.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${RUNS:-20}

work=$(mktemp -d)
hold=""
cleanup() {
  [[ -n "$hold" ]] && kill "$hold" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data" LANG=C.UTF-8
mkdir -m 700 -p "$HOME" "$XDG_RUNTIME_DIR"
ulimit -c 0

install_tree() {  # DIR
  cmake --install "$build" --prefix "$1" >/dev/null
  rm -f "$1/SpeedLauncher-pellicor.xml"
  cp "$build/bench/crashtime/Stoven.dll" "$1/Stoven.dll"
}
install_tree "$work/tree"
install_tree "$work/nohost" && rm "$work/nohost/pellicor-crash-host"

# Microseconds from the fault (printed by the module) to the end of wait.
fault_to_death() {  # TREE THREADS
  local fault
  fault=$( { "$1/Pellicor" --threads "$2" || true; } 2>/dev/null | head -n 1)
  local end=${EPOCHREALTIME/./}
  echo $(( end - fault ))
}

summary() {  # NAME TREE THREADS
  local times=()
  for ((i = 0; i < runs; ++i)); do times+=("$(fault_to_death "$2" "$3")"); done
  printf '%s\n' "${times[@]}" | sort -n | awk -v name="$1" '{t[NR]=$1}
    END {printf "  %-40s median %7.1f ms  min %7.1f  max %7.1f  (%d runs)\n",
         name, t[int((NR+1)/2)]/1000, t[1]/1000, t[NR]/1000, NR}'
  printf '%s\n' "${times[@]}" | sort -n | awk '{t[NR]=$1} END {print t[int((NR+1)/2)]}' \
    > "$work/median-$3-$(basename "$2")"
}

echo "Fault to death, $runs runs each:"
summary "with report, 1 thread" "$work/tree" 1
summary "with report, 32 threads" "$work/tree" 32
summary "no crash host, 32 threads" "$work/nohost" 32
ours=$(cat "$work/median-32-tree")
echo "  goal: under 1000 ms with 32 threads: $( ((ours < 1000000)) && echo met || echo NOT met)"

if command -v eu-stack >/dev/null && command -v hyperfine >/dev/null; then
  "$work/tree/Pellicor" --threads 32 --hold > "$work/hold.out" 2>/dev/null &
  hold=$!
  for ((i = 0; i < 100; ++i)); do grep -q ready "$work/hold.out" && break; sleep 0.05; done
  hyperfine --warmup 3 --runs "$runs" -N --export-csv "$work/eu-stack.csv" \
    -n "eu-stack -p (32 threads)" "eu-stack -p $hold" >/dev/null 2>&1
  awk -F, -v ours="$ours" 'NR == 2 {
      printf "  %-40s mean   %7.1f ms\n", $1, $2 * 1000
      printf "  ratio: our whole crash (32 threads) / eu-stack alone: %.2f\n", ours / 1e6 / $2 }' \
    "$work/eu-stack.csv"
else
  echo "  (eu-stack or hyperfine missing: no comparison)"
fi
