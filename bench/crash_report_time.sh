#!/usr/bin/env bash
# Times a crash of the installed launcher:
# - from the fault until every other thread is stopped: each thread writes
#   the time into a shared file every millisecond until it is stopped, and
#   the last time written after the fault is taken (goal: under 5 ms with
#   32 threads);
# - from the fault to the process's death, report file included (the crash
#   host starting, every thread's stack, the report), with 1, 32 and 100
#   threads (goal: under 100 ms with 32), against the same crash with no
#   crash host to start, and against elfutils' eu-stack taking the stacks of
#   the same 32-thread process.
# Usage: bench/crash_report_time.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$script")/.."
runs=${RUNS:-20}
if [[ ${1:-} == --no-debug-pass ]]; then
  build=$2 work=$3
  for threads in 1 32 100; do
    times=()
    for ((i = 0; i < runs; ++i)); do
      fault=$( { "$work/tree/Pellicor" --threads "$threads" || true; } 2>/dev/null | head -n 1)
      end=${EPOCHREALTIME/./}
      times+=($((end - fault)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk -v name="with report, threads: $threads" '{t[NR]=$1}
      END {printf "  %-44s median %7.1f ms  min %7.1f  max %7.1f  (%d runs)\n",
           name, t[int((NR+1)/2)]/1000, t[1]/1000, t[NR]/1000, NR}'
  done
  exit 0
fi
build=${1:-build/default}

work=$(mktemp -d)
hold=""
cleanup() {
  [[ -n "$hold" ]] && kill "$hold" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data" LANG=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
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

# Microseconds from the fault to the last time another thread wrote.
fault_to_freeze() {  # TREE THREADS
  "$1/Pellicor" --threads "$2" --stamps "$work/stamps" >/dev/null 2>&1 || true
  od -An -v -t d8 -w8 "$work/stamps" | awk 'NR == 1 {fault = $1; next}
    {if ($1 - fault > last) last = $1 - fault} END {print last + 0}'
}

summary() {  # NAME KIND TREE THREADS
  local times=()
  for ((i = 0; i < runs; ++i)); do times+=("$("$2" "$3" "$4")"); done
  printf '%s\n' "${times[@]}" | sort -n | awk -v name="$1" '{t[NR]=$1}
    END {printf "  %-44s median %7.1f ms  min %7.1f  max %7.1f  (%d runs)\n",
         name, t[int((NR+1)/2)]/1000, t[1]/1000, t[NR]/1000, NR}'
  printf '%s\n' "${times[@]}" | sort -n | awk '{t[NR]=$1} END {print t[int((NR+1)/2)]}' \
    > "$work/median-$2-$4-$(basename "$3")"
}

echo "Fault until every other thread is stopped, $runs runs each:"
summary "32 threads" fault_to_freeze "$work/tree" 32
summary "100 threads" fault_to_freeze "$work/tree" 100
freeze=$(cat "$work/median-fault_to_freeze-32-tree")
echo "  goal: under 5 ms with 32 threads: $( ((freeze < 5000)) && echo met || echo NOT met)"

echo "Fault to death, $runs runs each:"
summary "with report, 1 thread" fault_to_death "$work/tree" 1
summary "with report, 32 threads" fault_to_death "$work/tree" 32
summary "with report, 100 threads" fault_to_death "$work/tree" 100
summary "no crash host, 32 threads" fault_to_death "$work/nohost" 32
ours=$(cat "$work/median-fault_to_death-32-tree")
echo "  goal: under 100 ms with 32 threads: $( ((ours < 100000)) && echo met || echo NOT met)"

# Separate debug files (such as the C library's, from a -dbg package) are
# decompressed whole on first use; the same crash on a system without them,
# with /usr/lib/debug hidden in a mount namespace of its own (needs root).
if [[ ${EUID} -eq 0 && -d /usr/lib/debug && -z ${CRASH_BENCH_NO_DEBUG:-} ]] &&
  unshare --mount true 2>/dev/null; then
  echo "Fault to death without the system's separate debug files:"
  CRASH_BENCH_NO_DEBUG=1 unshare --mount bash -c \
    "mount -t tmpfs none /usr/lib/debug && bash '$script' --no-debug-pass '$build' '$work'"
fi

if command -v eu-stack >/dev/null && command -v hyperfine >/dev/null; then
  "$work/tree/Pellicor" --threads 32 --hold > "$work/hold.out" 2>/dev/null &
  hold=$!
  for ((i = 0; i < 100; ++i)); do grep -q ready "$work/hold.out" && break; sleep 0.05; done
  hyperfine --warmup 3 --runs "$runs" -N --export-csv "$work/eu-stack.csv" \
    -n "eu-stack -p (32 threads)" "eu-stack -p $hold" >/dev/null 2>&1
  awk -F, -v ours="$ours" 'NR == 2 {
      printf "  %-44s mean   %7.1f ms\n", $1, $2 * 1000
      printf "  ratio: our whole crash (32 threads) / eu-stack alone: %.2f\n", ours / 1e6 / $2 }' \
    "$work/eu-stack.csv"
else
  echo "  (eu-stack or hyperfine missing: no comparison)"
fi
