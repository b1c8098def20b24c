#!/usr/bin/env bash
# Prefetcher against the system tools, side by side in one hyperfine run per
# row on the same files: expanding a big tree (speedlauncher expand against
# find, with and without a pattern), reading large and small cached files
# (speedlauncher warm against cat), reading after the files were dropped
# from the cache (warm against cat and vmtouch -t), and telling how much of
# 20,000 small files is cached (speedlauncher resident against fincore and
# vmtouch). Prints each row's means, its ratio and the goal.
#   scripts/bench-prefetch.sh [path/to/speedlauncher] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh
ensure_packages bench-prefetch hyperfine vmtouch jq findutils coreutils util-linux
tool=${1:-build/default/tools/speedlauncher/speedlauncher}
runs=${2:-10}
if [[ ! -x "$tool" ]]; then
  cmake --preset default >/dev/null
  cmake --build --preset default --target speedlauncher
fi
tool=$(realpath "$tool")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work"/large "$work"/small "$work"/tree

# 3 x 200 MiB, 20,000 x 4 KiB, 100,000 empty files in 1,000 folders.
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

cat "$work"/large/* "$work"/small/* >/dev/null  # into the cache
find "$work/tree" -type f >/dev/null

# row NAME GOAL-TEXT RATIO-EXPRESSION [hyperfine arguments...] COMMAND...
# RATIO-EXPRESSION is jq over the array of mean times, in command order;
# the ratio is ours against the first tool.
row() {
  local name=$1 goal=$2 ratio=$3
  shift 3
  hyperfine --style none --runs "$runs" --warmup 1 --export-json "$work/row.json" "$@" >/dev/null 2>&1 ||
    hyperfine --style basic --runs "$runs" --warmup 1 "$@"
  jq -r --arg name "$name" --arg goal "$goal" \
    '[.results[].mean] as $m
     | ([.results[] | "\(.command | split(" ")[0] | split("/")[-1]) \(.mean * 1000 | floor) ms"] | join(", ")) as $times
     | ($m | '"$ratio"' | if type == "array" then . else [.] end
        | map(. * 100 | round / 100 | tostring) | join(", ")) as $r
     | "\($name): \($times); ratio \($r) (goal \($goal))"' \
    "$work/row.json"
}
q() { printf '%q' "$1"; }

row "expand 100,000 files vs find -type f" "<= 1.2" '.[0] / .[1]' -N \
  "$tool expand --paths --dir $(q "$work/run-tree")" "find $(q "$work/tree") -type f"
row "expand with a pattern vs find -regex" "<= 1.2" '.[0] / .[1]' -N \
  "$tool expand --paths --dir $(q "$work/run-pattern")" \
  "find $(q "$work/tree") -regextype posix-extended -regex '.*/e3/.*\\.dat'"
row "warm 3 x 200 MiB cached, throughput vs cat" ">= 0.95" '.[1] / .[0]' -N \
  "$tool warm --dir $(q "$work/run-large")" \
  "cat $(q "$work/large/big0.bin") $(q "$work/large/big1.bin") $(q "$work/large/big2.bin")"
row "warm 20,000 x 4 KiB cached, time vs cat" "<= 1.0" '.[0] / .[1]' \
  "$tool warm --dir $(q "$work/run-small")" "cat $(q "$work/small")/* >/dev/null"
# Cold: every run starts with the files dropped from the cache.
row "warm 3 x 200 MiB after evict, time vs cat, vs vmtouch -t" "none, measured" \
  '[.[0] / .[1], .[0] / .[2]]' -N \
  --prepare "$tool evict --dir $(q "$work/run-large")" \
  "$tool warm --dir $(q "$work/run-large")" \
  "cat $(q "$work/large/big0.bin") $(q "$work/large/big1.bin") $(q "$work/large/big2.bin")" \
  "vmtouch -qt $(q "$work/large")"
# Residency of the 20,000 small files, cached; each tool looks at every file.
# Through the shell (its start subtracted), which expands fincore's names.
row "resident 20,000 x 4 KiB vs fincore, vs vmtouch" "<= 1.0" '[.[0] / .[1], .[0] / .[2]]' \
  "$tool resident --dir $(q "$work/run-small")" \
  "fincore $(q "$work/small")/*" \
  "vmtouch -q $(q "$work/small")"
