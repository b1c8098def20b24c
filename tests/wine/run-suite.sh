#!/usr/bin/env bash
# End-to-end suite of the Windows tree under Wine:
#
#   tests/wine/run-suite.sh INSTALL_DIR HELPERS_DIR
#
# INSTALL_DIR is an installed Windows tree (scripts/windows-build.sh),
# HELPERS_DIR the build's tests/wine folder (norun/ and hold/ modules). Every
# case runs a fresh copy of the tree inside one throw-away WINEPREFIX whose
# wineserver stays up for the whole run, so volatile registry values live
# exactly as long as they would in a Windows session.
set -uo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: $0 INSTALL_DIR HELPERS_DIR" >&2
  exit 2
fi
tree="$(cd "$1" && pwd)"
helpers="$(cd "$2" && pwd)"

wine="${WINE:-}"
if [[ -z "$wine" ]]; then
  for candidate in /usr/lib/wine/wine64 wine64 wine; do
    if command -v "$candidate" >/dev/null 2>&1; then wine="$(command -v "$candidate")"; break; fi
  done
fi
if [[ -z "$wine" ]]; then
  echo "wine-suite: no wine64 found (Debian package wine64)" >&2
  exit 2
fi
wineserver="${WINESERVER:-$(dirname "$wine")/wineserver}"
[[ -x "$wineserver" ]] || wineserver="$(command -v wineserver || true)"

work="$(mktemp -d /tmp/pellicor-wine.XXXXXX)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINESERVER="$wineserver"
export WINEARCH=win64 DISPLAY=
unset WAYLAND_DISPLAY
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "wine-suite: $("$wine" --version) (prefix $WINEPREFIX)"
"$wineserver" -p
"$wine" wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; exit 1; }

passed=0
failed=0
skipped=0
current=""
case_failed=0

# --- Helpers --------------------------------------------------------------------

begin() {
  current=$1
  case_failed=0
}
fail() {
  echo "  $current: $*"
  case_failed=1
}
end() {
  if [[ $case_failed -eq 0 ]]; then
    echo "PASS $current"
    passed=$((passed + 1))
  else
    echo "FAIL $current"
    failed=$((failed + 1))
  fi
}
skip() {
  echo "SKIP $1: $2"
  skipped=$((skipped + 1))
}

# A fresh copy of the installed tree; prints its folder.
fresh_tree() {
  local dir
  dir="$(mktemp -d "$work/case.XXXXXX")/app"
  cp -r "$tree" "$dir"
  echo "$dir"
}
windows_path() {
  local path=${1//\//\\}
  echo "Z:$path"
}

# launch DIR ARGS...: runs the launcher from DIR; sets out, err, status (the
# low 8 bits of the exit code, as Wine hands it to Linux).
launch() {
  local dir=$1
  shift
  (cd "$dir" && "$wine" ./Pellicor.exe "$@" >"$work/out" 2>"$work/err")
  status=$?
  # The Windows runtime writes text with CRLF line ends.
  out="$(tr -d '\r' <"$work/out")"
  err="$(tr -d '\r' <"$work/err")"
}

# exit_code DIR ARGS: the whole signed 32-bit exit code, through cmd.
exit_code() {
  local dir=$1
  shift
  (cd "$dir" && "$wine" cmd /v:on /c "Pellicor.exe $* >NUL 2>NUL & echo code=!errorlevel!" 2>/dev/null) |
    tr -d '\r' | sed -n 's/^code=//p'
}

reg() { "$wine" reg "$@" 2>/dev/null | tr -d '\r'; }
crash_key='HKCU\SOFTWARE\Microsoft\Windows\Windows Error Reporting\RuntimeExceptionHelperModules'
# Is the crash handler's value (named by its path in DIR) there?
crash_value_present() {
  "$wine" reg query "$crash_key" /v "$(windows_path "$1")\\vantilcrashhandler.dll" >/dev/null 2>&1
}
set_region() {
  "$wine" reg add 'HKCU\Control Panel\International\Geo' /v Nation /t REG_SZ /d "$1" /f \
    >/dev/null 2>&1
}

expect_contains() {  # TEXT NEEDLE WHAT
  [[ "$1" == *"$2"* ]] || fail "$3: missing [$2] in [$1]"
}
expect_eq() {  # ACTUAL EXPECTED WHAT
  [[ "$1" == "$2" ]] || fail "$3: got [$1], expected [$2]"
}

# --- Cases ------------------------------------------------------------------------

set_region 244

begin "exit code is what Run returns (7, -3, 0) and the crash value is gone after"
dir="$(fresh_tree)"
for code in 7 -3 0; do
  expect_eq "$(exit_code "$dir" --exit "$code")" "$code" "exit code of --exit $code"
done
crash_value_present "$dir" && fail "crash handler value left behind"
end

begin "missing Stoven.dll ends silently with -1"
dir="$(fresh_tree)"
rm "$dir/Stoven.dll" "$dir/SpeedLauncher-pellicor.xml"
expect_eq "$(exit_code "$dir" --exit 7)" "-1" "exit code"
launch "$dir" --exit 7
expect_eq "$out" "" "standard output"
expect_eq "$err" "" "standard error"
crash_value_present "$dir" && fail "crash handler value left behind"
end

begin "Stoven.dll without Run ends silently with -2"
dir="$(fresh_tree)"
cp "$helpers/norun/Stoven.dll" "$dir/Stoven.dll"
rm "$dir/SpeedLauncher-pellicor.xml"
expect_eq "$(exit_code "$dir")" "-2" "exit code"
launch "$dir"
expect_eq "$out" "" "standard output"
expect_eq "$err" "" "standard error"
crash_value_present "$dir" && fail "crash handler value left behind"
end

begin "a Stoven.dll on the search path or in the working folder is not used"
dir="$(fresh_tree)"
elsewhere="$(dirname "$dir")/elsewhere"
mkdir "$elsewhere"
mv "$dir/Stoven.dll" "$elsewhere/"
cp "$dir"/*.dll "$elsewhere/"
rm "$dir/SpeedLauncher-pellicor.xml"
code="$(cd "$elsewhere" && WINEPATH="$(windows_path "$elsewhere")" "$wine" cmd /v:on /c \
  "$(windows_path "$dir")\\Pellicor.exe --exit 7 & echo code=!errorlevel!" 2>/dev/null | tr -d '\r')"
expect_contains "$code" "code=-1" "exit code"
[[ "$code" == *"Stoven:"* ]] && fail "a foreign Stoven.dll ran: $code"
end

begin "the command line reaches Run without the program path"
dir="$(fresh_tree)"
launch "$dir" --exit 0 "two words" 'say "hi"' 'C:\dir\'
expect_contains "$out" 'Stoven: command line "--exit 0 "two words" "say \"hi\"" C:\dir\"' "Run's command line"
expect_contains "$out" "Stoven: show 10 code 0x7C4A91D3" "show command and launch code"
expect_eq "$status" 0 "exit status"
launch "$dir"
expect_contains "$out" 'Stoven: command line ""' "empty command line"
end

begin "restricted region (Iran, 116): exit 0 at once, nothing torn down"
dir="$(fresh_tree)"
set_region 116
expect_eq "$(exit_code "$dir" --exit 7)" "0" "exit code"
launch "$dir" --exit 7
[[ "$out" == *"Stoven:"* ]] && fail "Run was called: $out"
crash_value_present "$dir" || fail "the crash handler value should stay after the refusal"
set_region 244
launch "$dir" --exit 7
expect_eq "$status" 7 "exit status back in the US (244)"
crash_value_present "$dir" && fail "crash handler value left behind after the normal run"
end

begin "the crash handler value is there during Run and gone after"
dir="$(fresh_tree)"
cp "$helpers/hold/Stoven.dll" "$dir/Stoven.dll"
release="$(dirname "$dir")/release"
(cd "$dir" && "$wine" ./Pellicor.exe "$(windows_path "$release")" >/dev/null 2>&1) &
holder=$!
for _ in $(seq 1 600); do
  [[ -e "$release.held" ]] && break
  sleep 0.1
done
if [[ -e "$release.held" ]]; then
  value="$(reg query "$crash_key" /v "$(windows_path "$dir")\\vantilcrashhandler.dll")"
  expect_contains "$value" "REG_DWORD    0x0" "value during Run"
else
  fail "Run never started"
fi
touch "$release"
wait "$holder"
expect_eq "$?" 0 "exit status of the held run"
crash_value_present "$dir" && fail "crash handler value left behind"
end

begin "prefetch: a Reading line for every foreground file, none for the others"
dir="$(fresh_tree)"
mkdir -p "$dir/Presets/Titles" "$dir/Presets/Other"
echo a >"$dir/Presets/Titles/one.prst"
echo b >"$dir/Presets/Other/two.prst"
echo c >"$dir/Presets/Titles/skip.txt"
cat >"$dir/SpeedLauncher-pellicor.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<SpeedLauncher>
  <Application name="pellicor">
    <FileList>
      <File fileRelativePath="vantilcore.dll" isForeground="1"/>
      <File fileRelativePath="Vexmo.dll" isForeground="0"/>
      <File fileRelativePath="Presets" regex=".*\.prst" isForeground="1"/>
    </FileList>
  </Application>
</SpeedLauncher>
EOF
launch "$dir" --exit 0
base="$(windows_path "$dir")"
base="${base//\\//}"
reading="$(grep '^Reading :' <<<"$out" | sort)"
# Joins add "/"; a directory walk adds the platform's separator.
expected="$(printf 'Reading :%s\n' "$base/Presets\\Other\\two.prst" "$base/Presets\\Titles\\one.prst" \
  "$base/vantilcore.dll" | sort)"
expect_eq "$reading" "$expected" "Reading lines"
expect_eq "$status" 0 "exit status"
end

name="localized messages from a dictionary beside the launcher"
if ! find "$tree" -iname 'lexdictionary.dat' | grep -q .; then
  skip "$name" "the installed tree has no dictionaries yet (the localizer's demo dictionaries)"
else
  begin "$name"
  dir="$(fresh_tree)"
  find "$dir" -iname 'lexdictionary.dat' -delete
  { printf '\xff\xfe'
    printf '"$$$/Frontend/WineSuiteGreeting=Gr\xc3\xbc\xc3\x9f aus dem W\xc3\xb6rterbuch"\r\n' |
      iconv -f UTF-8 -t UTF-16LE; } >"$dir/lexdictionary.dat"
  launch "$dir" --localize '$$$/Frontend/WineSuiteGreeting=Hello' --localize '$$$/Frontend/WineSuiteMissing=Fallback'
  expect_contains "$out" $'Stoven: localized "Gr\xc3\xbc\xc3\x9f aus dem W\xc3\xb6rterbuch"' "dictionary entry"
  expect_contains "$out" 'Stoven: localized "Fallback"' "default text of a missing entry"
  end
fi

begin "French and German messages from the installed dictionaries"
dir="$(fresh_tree)"
out="$(cd "$dir" && LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 "$wine" ./Pellicor.exe \
  --localize '$$$/Frontend/FEAppStartupErrorTitle=Harlund Pellicor Startup Error' 2>/dev/null | tr -d '\r')"
expect_contains "$out" "Stoven: Bienvenue dans Harlund Pellicor." "French greeting"
expect_contains "$out" $'Stoven: localized "Erreur au d\xc3\xa9marrage de Harlund Pellicor"' "French title"
out="$(cd "$dir" && LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$wine" ./Pellicor.exe 2>/dev/null | tr -d '\r')"
expect_contains "$out" "Stoven: Willkommen bei Harlund Pellicor." "German greeting"
end

# --- The crash handler's callback against a crashed child ---------------------------
name="the crash handler's callback reads the settings record out of a crashed launcher"
if [[ ! -f "$tree/vantilcrashhandler.dll" ]]; then
  skip "$name" "no vantilcrashhandler.dll in the installed tree"
elif [[ ! -f "$helpers/crash_probe.exe" ]]; then
  skip "$name" "no crash_probe.exe among the helpers"
else
  begin "$name"
  dir="$(fresh_tree)"
  probe_out="$(cd "$dir" && timeout 120 "$wine" "$helpers/crash_probe.exe" "$(windows_path "$dir")" 2>&1)"
  probe_status=$?
  probe_out="$(tr -d '\r' <<<"$probe_out")"
  expect_eq "$probe_status" 0 "crash probe exit status ($probe_out)"
  expect_contains "$probe_out" "product VANTIL_PRODUCT_NAME" "product name in the record"
  expect_contains "$probe_out" "callback result 0x00000000, claimed 0, signatures 0" "callback result"
  expect_contains "$probe_out" "Product: VANTIL_PRODUCT_NAME" "report: product"
  expect_contains "$probe_out" "Crash: exception 0xC0000005, address 0x" "report: access violation"
  expect_contains "$probe_out" "Forum: https://community.harlund.example/pellicor/" "report: forum"
  end
fi

echo "wine-suite: $passed passed, $failed failed, $skipped skipped"
echo "$passed passed, $failed failed, $skipped skipped"
[[ $failed -eq 0 ]]
