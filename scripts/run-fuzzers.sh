#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for N seconds (default 30)
# from its seed corpus. Longer runs: scripts/run-fuzzers.sh 3600
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzzers

mapfile -t targets < <(find build/fuzz/fuzz -type f -name 'fuzz_*' -executable 2>/dev/null | sort)
if [[ ${#targets[@]} -eq 0 ]]; then
  echo "no fuzz targets built"
  exit 0
fi

# Crashing inputs are kept here so a failed CI run can be replayed.
artifacts=build/fuzz/artifacts
rm -rf "$artifacts" && mkdir -p "$artifacts"

status=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  area=$(basename "$(dirname "$target")")
  seeds="fuzz/$area/corpus_${name#fuzz_}"
  work=$(mktemp -d)
  [[ -d "$seeds" ]] && cp -r "$seeds"/. "$work"/
  [[ -d "$(dirname "$target")/corpus_${name#fuzz_}" ]] && cp -r "$(dirname "$target")/corpus_${name#fuzz_}"/. "$work"/
  echo "--- $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
      -artifact_prefix="$artifacts/$name-" "$work" >"$work.log" 2>&1; then
    echo "$name FAILED:"
    # The sanitizer report from its first line, so the stack is not cut off.
    sed -n '/^==[0-9]*==ERROR\|runtime error\|^==[0-9]*== ERROR/,$p' "$work.log" | head -n 60
    tail -n 5 "$work.log"
    for input in "$artifacts/$name"-*; do
      [[ -f "$input" ]] && echo "input ($input): $(od -An -tx1 -v "$input" | head -c 2000 | tr -s ' \n' ' ')"
    done
    status=1
  else
    grep -E '^Done|#[0-9]+.*DONE' "$work.log" | tail -n 1 || true
  fi
  rm -rf "$work" "$work.log"
done
exit $status
