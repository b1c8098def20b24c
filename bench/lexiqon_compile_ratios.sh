#!/usr/bin/env bash
# lexiqon compile against msgfmt on the same 100k messages, in one run: time
# (hyperfine) and peak memory (the children's maximum resident set size),
# for a text source and for a PO file. Prints the ratios; exit status 1 when
# a goal (time <= msgfmt, memory <= 1.5 x msgfmt) is missed.
# Usage: bench/lexiqon_compile_ratios.sh [path/to/lexiqon] [keys]
set -euo pipefail
cd "$(dirname "$0")/.."
lexiqon=$(realpath "${1:-build/default/tools/lexiqon/lexiqon}")
keys=${2:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same keys and texts as a UTF-8 text source and as a PO file.
python3 - "$work" "$keys" <<'PY'
import random, sys
work, n = sys.argv[1], int(sys.argv[2])
random.seed(7)
areas = ["Frontend", "Editor", "Timeline", "Export", "Effects", "Media", "Audio", "Titles"]
names = ["Clip", "Track", "Render", "Preview", "Frame", "Rate", "Gain", "Effect", "Save"]
words = ["clip", "track", "render", "preview", "frame", "rate", "gain", "effect", "save",
         "project", "r\u00e9glage", "m\u00e9dia", "\u00dcbersicht", "\u65e5\u672c\u8a9e"]
with open(f"{work}/source.txt", "w", encoding="utf-8", newline="") as text, \
     open(f"{work}/source.po", "w", encoding="utf-8", newline="") as po:
    po.write('msgid ""\nmsgstr "Content-Type: text/plain; charset=UTF-8\\n"\n\n')
    for i in range(n):
        key = f"/{random.choice(areas)}/{random.choice(names)}/Label{i}"
        value = " ".join(random.choice(words) for _ in range(random.randint(1, 9)))
        text.write(f'"$$$${key}={value}"\r\n')
        po.write(f'msgctxt "{key}"\nmsgid "{value}"\nmsgstr "{value}"\n\n')
PY

compile_text="$lexiqon compile --input-encoding utf-8 $work/source.txt -o $work/text.dat"
compile_po="$lexiqon compile $work/source.po -o $work/po.dat"
msgfmt="msgfmt -o $work/source.mo $work/source.po"
hyperfine --warmup 1 --runs 5 --export-json "$work/times.json" -N \
  "$compile_text" "$compile_po" "$msgfmt" >/dev/null

python3 - "$work/times.json" "$compile_text" "$compile_po" "$msgfmt" <<'PY'
import json, os, shlex, subprocess, sys
times = {r["command"]: min(r["times"]) for r in json.load(open(sys.argv[1]))["results"]}
def peak_kib(command):
    # wait4 reports the peak of that child alone.
    child = subprocess.Popen(shlex.split(command), stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    assert status == 0, command
    return usage.ru_maxrss
names = {sys.argv[2]: "lexiqon text", sys.argv[3]: "lexiqon PO", sys.argv[4]: "msgfmt"}
peaks = {c: min(peak_kib(c) for _ in range(3)) for c in names}
msgfmt = sys.argv[4]
failed = False
print(f"{'compile':<14}{'time ms':>9}{'peak MiB':>10}{'x time':>8}{'x memory':>10}")
for command, name in names.items():
    t, m = times[command] / times[msgfmt], peaks[command] / peaks[msgfmt]
    mark = "" if command == msgfmt or (t <= 1 and m <= 1.5) else "  goal missed"
    failed |= bool(mark)
    print(f"{name:<14}{times[command] * 1e3:>9.0f}{peaks[command] / 1024:>10.1f}{t:>8.2f}{m:>10.2f}{mark}")
sys.exit(1 if failed else 0)
PY
