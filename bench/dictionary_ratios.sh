#!/usr/bin/env bash
# Runs the dictionary benchmark and prints our lookups against gettext and
# the cost of 100k keys against 1k, from the fastest of several runs.
# Usage: bench/dictionary_ratios.sh [path/to/dictionary_bench] [repetitions]
set -euo pipefail
cd "$(dirname "$0")/.."
bench=${1:-build/default/dictionary/dictionary_bench}
repetitions=${2:-5}
json=$(mktemp)
trap 'rm -f "$json"' EXIT
"$bench" --benchmark_filter='Lookup|gettext' --benchmark_min_time=0.2 \
  --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
  --benchmark_format=json >"$json"
python3 - "$json" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
ns = {}
for run in runs:
    if run.get("aggregate_name") == "min":
        ns[run["run_name"]] = run["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6}[run["time_unit"]]
sizes = (1000, 20000, 100000)
failed = False
print(f"{'lookup':<14}{'keys':>7}{'ours ns':>9}{'gettext':>9}{'dgettext':>9}{'x gettext':>10}{'x dgettext':>11}")
for store in ("table", "blocks"):
    for kind in ("hit", "miss"):
        for n in sizes:
            ours = ns[f"Lookup/{store}/{kind}/{n}"]
            g, d = ns[f"gettext/{kind}/{n}"], ns[f"dgettext/{kind}/{n}"]
            mark = "" if min(g, d) / ours >= 3 else "  < 3x"
            failed |= bool(mark)
            print(f"{store + ' ' + kind:<14}{n:>7}{ours:>9.0f}{g:>9.0f}{d:>9.0f}{g / ours:>10.1f}{d / ours:>11.1f}{mark}")
print()
for store in ("table", "blocks"):
    for kind in ("hit", "miss"):
        growth = ns[f"Lookup/{store}/{kind}/100000"] / ns[f"Lookup/{store}/{kind}/1000"]
        mark = "" if growth <= 3 else "  > 3x"
        failed |= bool(mark)
        print(f"{store} {kind}: 100k keys cost {growth:.2f}x of 1k{mark}")
sys.exit(1 if failed else 0)
PY
