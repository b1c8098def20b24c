#!/usr/bin/env bash
# lexiqon against gettext's tools on the same 100k messages, in one run:
# compile of a text source and of a PO file against msgfmt (time and peak
# memory), decompile --to po against msgunfmt (time and peak memory), and
# the peak memory of check on 300 MiB of NULs. Time is hyperfine's fastest
# run, CPU time its mean of user and system time; memory the maximum
# resident set size that GNU time reports. Prints
# one row per measure; exit status 1 when a goal is missed.
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
        text.write(f'"$$${key}={value}"\r\n')
        po.write(f'msgctxt "{key}"\nmsgid "{value}"\nmsgstr "{value}"\n\n')
PY
msgfmt -o "$work/source.mo" "$work/source.po"
"$lexiqon" compile "$work/source.po" -o "$work/source.dat"
head -c $((300 << 20)) /dev/zero >"$work/nuls.txt"

compile_text="$lexiqon compile --input-encoding utf-8 $work/source.txt -o $work/text.dat"
compile_po="$lexiqon compile $work/source.po -o $work/po.dat"
msgfmt="msgfmt -o $work/out.mo $work/source.po"
decompile="$lexiqon decompile $work/source.dat --to po -o $work/back.po"
msgunfmt="msgunfmt -o $work/unfmt.po $work/source.mo"
hyperfine --warmup 1 --runs 5 --export-json "$work/times.json" -N \
  "$compile_text" "$compile_po" "$msgfmt" "$decompile" "$msgunfmt" >/dev/null

python3 - "$work" "$compile_text" "$compile_po" "$msgfmt" "$decompile" "$msgunfmt" <<'PY'
import json, os, shlex, subprocess, sys
work, text, po, msgfmt, decompile, msgunfmt = sys.argv[1:]
results = json.load(open(f"{work}/times.json"))["results"]
times = {r["command"]: min(r["times"]) for r in results}
# Processor time (user and system, mean of the runs) says the same on a busy machine.
cpu = {r["command"]: r["user"] + r["system"] for r in results}
def peak_kib(command, ok=(0,)):
    # GNU time's own fork: a child of this interpreter would count its pages.
    result = subprocess.run(["/usr/bin/time", "-f", "%M", *shlex.split(command)],
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    assert result.returncode in ok, command
    return int(result.stderr.strip().splitlines()[-1])
peaks = {c: min(peak_kib(c) for _ in range(3)) for c in (text, po, msgfmt, decompile, msgunfmt)}
nuls = f"{work}/nuls.txt"
# Both refuse the file; what they take on the way is the measure.
check_nuls = peak_kib(shlex.join([text.split()[0], "check", nuls]), ok=(1,))
msgfmt_nuls = peak_kib(shlex.join(["msgfmt", "-o", f"{work}/nuls.mo", nuls]), ok=(1,))
failed = False
print(f"{'measure':<44}{'ours':>10}{'other':>10}{'ratio':>7}  goal")
def row(name, ours, other, unit, goal, met):
    global failed
    failed |= not met
    ratio = ours / other if other else float("nan")
    print(f"{name:<44}{ours:>9.1f}{unit}{other:>9.1f}{unit}{ratio:>7.2f}  {goal}{'' if met else '  MISSED'}")
def mib(kib): return kib / 1024
for name, ours, other in (("compile 100k, text source", text, msgfmt),
                          ("compile 100k, PO file", po, msgfmt),
                          ("decompile --to po 100k", decompile, msgunfmt)):
    t = times[ours] / times[other]
    m = peaks[ours] / peaks[other]
    row(f"{name}: time (s)", times[ours], times[other], "", "<= 1 x", t <= 1)
    row(f"{name}: CPU time (s)", cpu[ours], cpu[other], "", "<= 1 x", cpu[ours] <= cpu[other])
    row(f"{name}: peak memory (MiB)", mib(peaks[ours]), mib(peaks[other]), "", "<= 1.5 x", m <= 1.5)
row("check 300 MiB of NULs: peak memory (MiB)", mib(check_nuls), mib(msgfmt_nuls), "",
    "< 64 MiB", mib(check_nuls) < 64)
sys.exit(1 if failed else 0)
PY
