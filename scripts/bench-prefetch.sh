#!/usr/bin/env bash
# Prefetcher against the system tools, in one run on the same files in a warm
# cache: reading large and small files (speedlauncher warm against cat) and
# expanding a big tree with and without a pattern (speedlauncher expand
# against find). Prints the times and the ratios the goals are stated in.
#   scripts/bench-prefetch.sh [path/to/speedlauncher]
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${1:-build/default/tools/speedlauncher/speedlauncher}
if [[ ! -x "$tool" ]]; then
  cmake --preset default >/dev/null
  cmake --build --preset default --target speedlauncher
fi
tool=$(realpath "$tool")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work"/large "$work"/small "$work"/tree

# Only coreutils and findutils: 3 x 200 MiB, 20,000 x 4 KiB, 100,000 empty files.
for i in 0 1 2; do head -c 200M /dev/urandom >"$work/large/big$i.bin"; done
head -c $((4096 * 20000)) /dev/urandom | (cd "$work/small" && split -b 4096 -a 5 -d --additional-suffix=.dat - f)
for d in $(seq -f 'd%03g' 0 99); do
  for e in 0 1 2 3 4 5 6 7 8 9; do
    mkdir -p "$work/tree/$d/e$e"
    (cd "$work/tree/$d/e$e" && touch f0.dat f{1..9}.bin f1{0..9}.bin f2{0..9}.bin f3{0..9}.bin \
      f4{0..9}.bin f5{0..9}.bin f6{0..9}.bin f7{0..9}.bin f8{0..9}.bin f9{0..9}.bin)
  done
done

list() {  # list <dir> <entry attributes>: a launcher folder whose list names one entry
  mkdir -p "$1"
  printf '<L><Application name="pellicor"><FileList><File %s isForeground="1"/></FileList></Application></L>\n' \
    "$2" >"$1/SpeedLauncher-pellicor.xml"
}
list "$work/run-large" "fileRelativePath=\"$work/large\""
list "$work/run-small" "fileRelativePath=\"$work/small\""
list "$work/run-tree" "fileRelativePath=\"$work/tree\""
list "$work/run-pattern" "fileRelativePath=\"$work/tree\" regex=\".*/e3/.*\\.dat\""

seconds() {  # seconds <command...>: wall time of the best of three runs
  local best="" start end took
  for _ in 1 2 3; do
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    took=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
    if [[ -z "$best" ]] || awk -v t="$took" -v b="$best" 'BEGIN { exit !(t < b) }'; then
      best=$took
    fi
  done
  echo "$best"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

cat "$work"/large/* "$work"/small/* >/dev/null  # warm the cache
find "$work/tree" -type f >/dev/null

large_cat=$(seconds cat "$work"/large/big0.bin "$work"/large/big1.bin "$work"/large/big2.bin)
large_warm=$(seconds "$tool" warm --dir "$work/run-large")
small_cat=$(seconds sh -c "cat '$work'/small/* >/dev/null")
small_warm=$(seconds "$tool" warm --dir "$work/run-small")
tree_find=$(seconds find "$work/tree" -type f)
tree_expand=$(seconds "$tool" expand --dir "$work/run-tree")
pattern_find=$(seconds find "$work/tree" -regextype posix-extended -regex '.*/e3/.*\.dat')
pattern_expand=$(seconds "$tool" expand --dir "$work/run-pattern")

echo "large files (3 x 200 MiB): cat ${large_cat}s, warm ${large_warm}s," \
  "throughput ratio $(ratio "$large_cat" "$large_warm") (goal >= 0.9)"
echo "small files (20000 x 4 KiB): cat ${small_cat}s, warm ${small_warm}s," \
  "time ratio $(ratio "$small_warm" "$small_cat") (goal <= 1.3)"
echo "tree of 100000 files: find ${tree_find}s, expand ${tree_expand}s," \
  "time ratio $(ratio "$tree_expand" "$tree_find") (goal <= 1.5)"
echo "same tree with a pattern: find ${pattern_find}s, expand ${pattern_expand}s," \
  "time ratio $(ratio "$pattern_expand" "$pattern_find") (goal <= 1.5)"
