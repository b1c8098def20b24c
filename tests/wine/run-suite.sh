#!/usr/bin/env bash
# End-to-end suite of the Windows tree under Wine:
#
#   tests/wine/run-suite.sh INSTALL_DIR HELPERS_DIR
#
# INSTALL_DIR is an installed Windows tree (scripts/windows-build.sh),
# HELPERS_DIR the build's tests/wine folder (norun/, hold/ and crash/ modules,
# crash_probe.exe); PELLICOR_HOST_LEXIQON, when set, is a Linux lexiqon whose
# output the Windows one must equal. Installs wine64 and locales when missing
# (as root). Every case runs a fresh copy of the tree (or one below
# C:\Program Files) inside one throw-away WINEPREFIX whose wineserver
# stays up for the whole run, so volatile registry values live exactly as
# long as they would in a Windows session. No display: a message box fails to
# open and returns at once instead of waiting for a click.
set -uo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: $0 INSTALL_DIR HELPERS_DIR" >&2
  exit 2
fi
tree="$(cd "$1" && pwd)"
helpers="$(cd "$2" && pwd)"
limit="${PELLICOR_WINE_TIMEOUT:-120}"  # seconds, for every single Wine call

wine="${WINE:-}"
if [[ -z "$wine" ]]; then
  status=$(dpkg-query -W -f='${Status}' wine64 2>/dev/null || true)
  if [[ "$status" != "install ok installed" && $(id -u) -eq 0 ]]; then
    echo "wine-suite: installing wine64"
    DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine64 >/dev/null ||
      exit 2
  fi
  for candidate in /usr/lib/wine/wine64 wine64 wine; do
    if command -v "$candidate" >/dev/null 2>&1; then wine="$(command -v "$candidate")"; break; fi
  done
fi
if [[ -z "$wine" ]]; then
  echo "wine-suite: no wine64 found (Debian package wine64; run as root to install it)" >&2
  exit 2
fi
wineserver="${WINESERVER:-$(dirname "$wine")/wineserver}"
[[ -x "$wineserver" ]] || wineserver="$(command -v wineserver || true)"

work="$(mktemp -d /tmp/pellicor-wine.XXXXXX)"
# Wine reads Unix file names in the character set of the locale it runs in
# and takes the user's language from the locale's name. The suite's locales
# are made here, all UTF-8, so that a folder such as "Ĥarlund Tëst" reaches
# Windows as it is whatever locales the machine has.
status=$(dpkg-query -W -f='${Status}' locales 2>/dev/null || true)
if [[ "$status" != "install ok installed" && $(id -u) -eq 0 ]]; then
  echo "wine-suite: installing locales"
  DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends locales >/dev/null ||
    exit 2
fi
mkdir "$work/locales"
for name in en_US fr_FR de_DE it_IT; do
  localedef -i "$name" -f UTF-8 "$work/locales/$name.UTF-8" >/dev/null 2>&1 || {
    echo "wine-suite: cannot make the $name.UTF-8 locale (Debian package locales)" >&2
    exit 2
  }
done
export LOCPATH="$work/locales"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINESERVER="$wineserver"
export WINEARCH=win64 DISPLAY=
unset WAYLAND_DISPLAY
cleanup() {
  timeout 30 "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# Wine takes the user's locale from the environment; every case starts from
# the same one whatever the machine's is.
wine_locale=en_US.UTF-8
w() { LC_ALL="$wine_locale" timeout -k 5 "$limit" "$wine" "$@"; }

started=$SECONDS
echo "wine-suite: $("$wine" --version) (prefix $WINEPREFIX)"
mkdir -p "$WINEPREFIX"
timeout 30 "$wineserver" -p
LC_ALL="$wine_locale" timeout -k 5 300 "$wine" wineboot -i >"$work/wineboot.log" 2>&1 ||
  { cat "$work/wineboot.log" >&2; exit 1; }
# A crash must never wait for someone to close Wine's crash dialog.
w reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1

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
# The Linux folder of a Windows folder variable such as APPDATA.
folder_of() {
  local windows
  windows="$(w cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')"
  w winepath -u "$windows" 2>/dev/null | tr -d '\r'
}

# launch DIR ARGS...: runs the launcher from DIR; sets out, err, status (the
# low 8 bits of the exit code, as Wine hands it to Linux).
launch() {
  local dir=$1
  shift
  (cd "$dir" && w ./Pellicor.exe "$@" >"$work/out" 2>"$work/err")
  status=$?
  # The Windows runtime writes text with CRLF line ends.
  out="$(tr -d '\r' <"$work/out")"
  err="$(tr -d '\r' <"$work/err")"
}

# exit_code DIR ARGS: the whole signed 32-bit exit code, through cmd.
# Now and then Wine's cmd prints nothing at all; one more try tells that
# apart from a launcher that did not come back.
exit_code() {
  local dir=$1 code="" try
  shift
  for try in 1 2; do
    code=$( (cd "$dir" && w cmd /v:on /c "Pellicor.exe $* >NUL 2>NUL & echo code=!errorlevel!" \
      2>/dev/null) | tr -d '\r' | sed -n 's/^code=//p')
    [[ -n "$code" ]] && break
  done
  echo "$code"
}

reg() { w reg "$@" 2>/dev/null | tr -d '\r'; }
crash_key='HKCU\SOFTWARE\Microsoft\Windows\Windows Error Reporting\RuntimeExceptionHelperModules'
# Is the crash handler's value (named by its path in DIR) there?
crash_value_present() {
  w reg query "$crash_key" /v "$(windows_path "$1")\\vantilcrashhandler.dll" >/dev/null 2>&1
}
set_region() {
  w reg add 'HKCU\Control Panel\International\Geo' /v Nation /t REG_SZ /d "$1" /f >/dev/null 2>&1
}

expect_contains() {  # TEXT NEEDLE WHAT
  [[ "$1" == *"$2"* ]] || fail "$3: missing [$2] in [$1]"
}
expect_lacks() {  # TEXT NEEDLE WHAT
  [[ "$1" != *"$2"* ]] || fail "$3: unexpected [$2] in [$1]"
}
expect_eq() {  # ACTUAL EXPECTED WHAT
  [[ "$1" == "$2" ]] || fail "$3: got [$1], expected [$2]"
}

# --- Launch sequence ------------------------------------------------------------

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
code="$(cd "$elsewhere" && WINEPATH="$(windows_path "$elsewhere")" w cmd /v:on /c \
  "$(windows_path "$dir")\\Pellicor.exe --exit 7 & echo code=!errorlevel!" 2>/dev/null | tr -d '\r')"
expect_contains "$code" "code=-1" "exit code"
expect_lacks "$code" "Stoven:" "output of a foreign Stoven.dll"
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

begin "Vexmo.dll and QuenorFoundation.dll are loaded at their first call, after the prefetch"
dir="$(fresh_tree)"
(cd "$dir" && WINEDEBUG=+loaddll w ./Pellicor.exe --exit 0 >"$work/trace" 2>&1)
line_of() {  # PATTERN: the number of the first line of the trace that matches
  grep -n -i -E "$1" "$work/trace" | head -1 | cut -d: -f1
}
reading=$(grep -n 'Reading :' "$work/trace" | tail -1 | cut -d: -f1)
vexmo=$(line_of 'loaddll.*Loaded .*\\Vexmo\.dll"')
quenor=$(line_of 'loaddll.*Loaded .*\\QuenorFoundation\.dll"')
stoven=$(line_of 'loaddll.*Loaded .*\\Stoven\.dll"')
if [[ -z "$reading" || -z "$vexmo" || -z "$quenor" || -z "$stoven" ]]; then
  fail "trace lacks a line: Reading [$reading] Vexmo [$vexmo] Quenor [$quenor] Stoven [$stoven]"
else
  ((reading < vexmo)) || fail "Vexmo.dll (line $vexmo) loaded before the last Reading : line ($reading)"
  ((reading < quenor)) || fail "QuenorFoundation.dll (line $quenor) loaded before the last Reading : line ($reading)"
  ((quenor < stoven && vexmo < stoven)) || fail "Stoven.dll (line $stoven) loaded before the libraries"
fi
end

# Geo identifiers: Iran, Sudan, Cuba, Syria, North Korea.
begin "restricted regions (116 219 56 222 131): exit 0 at once, nothing torn down"
for nation in 116 219 56 222 131; do
  dir="$(fresh_tree)"
  set_region "$nation"
  expect_eq "$(exit_code "$dir" --exit 7)" "0" "exit code in $nation"
  launch "$dir" --exit 7
  expect_lacks "$out" "Stoven:" "output of Run in $nation"
  crash_value_present "$dir" || fail "the crash handler value should stay after the refusal in $nation"
done
set_region 244
launch "$dir" --exit 7
expect_eq "$status" 7 "exit status back in the United States (244)"
crash_value_present "$dir" && fail "crash handler value left behind after the normal run"
end

begin "the crash handler value is there during Run and gone after"
dir="$(fresh_tree)"
cp "$helpers/hold/Stoven.dll" "$dir/Stoven.dll"
release="$(dirname "$dir")/release"
(cd "$dir" && w ./Pellicor.exe "$(windows_path "$release")" >/dev/null 2>&1) &
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

# --- Prefetch -------------------------------------------------------------------

begin "prefetch: a Reading line for every foreground file, none for the others"
dir="$(fresh_tree)"
mkdir -p "$dir/Presets/Titles" "$dir/Presets/Other"
echo a >"$dir/Presets/Titles/one.prst"
echo b >"$dir/Presets/Other/two.prst"
echo c >"$dir/Presets/Titles/skip.txt"
cat >"$dir/SpeedLauncher-pellicor.xml" <<'LIST'
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
LIST
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

# --- Names outside ASCII, the tools, the manifest ---------------------------------

# The tree where Windows users have it, below a folder whose name is outside
# ASCII (and, for its first letter, outside the ANSI code page).
unicode_windows_dir='C:/Program Files/Ĥarlund Tëst'
unicode_tree() {
  local dir="$WINEPREFIX/drive_c/Program Files/Ĥarlund Tëst"
  rm -rf "$dir"
  mkdir -p "$dir"
  cp -r "$tree/." "$dir/"
  echo "$dir"
}
# tool DIR PROGRAM ARGS...: runs a tool of DIR with standard input from
# $tool_input (default nothing); its standard output stays as written in
# $work/tool.out; sets err and status.
tool() {
  local dir=$1
  shift
  (cd "$dir" && w "$@" <"${tool_input:-/dev/null}" >"$work/tool.out" 2>"$work/tool.err")
  status=$?
  err="$(tr -d '\r' <"$work/tool.err")"
}

begin "an installation below C:\\Program Files\\Ĥarlund Tëst\\ reads every library and dictionary first and answers in French"
dir="$(unicode_tree)"
wine_locale=fr_FR.UTF-8 launch "$dir" --localize '$$$/Frontend/FEAppStartupErrorTitle=Harlund Pellicor Startup Error'
expected="$(
  for name in Stoven.dll vantilcore.dll QuenorFoundation.dll Vexmo.dll pellicor_platform.dll; do
    echo "Reading :$unicode_windows_dir/$name"
  done
  for language in $(ls "$dir/Dictionaries"); do
    echo "Reading :$unicode_windows_dir/Dictionaries\\$language\\lexdictionary.dat"
  done | sort
)"
reading="$(grep '^Reading :' <<<"$out")"
expect_eq "$(head -5 <<<"$reading")"$'\n'"$(tail -n +6 <<<"$reading" | sort)" "$expected" "Reading lines"
expect_contains "$out" "Stoven: Bienvenue dans Harlund Pellicor." "French greeting"
expect_contains "$out" $'Stoven: localized "Erreur au d\xc3\xa9marrage de Harlund Pellicor"' "French title"
expect_eq "$err" "" "standard error"
expect_eq "$status" 0 "exit status"
end

begin "speedlauncher.exe in that folder: its own list checks clean and warms every file"
tool "$dir" ./speedlauncher.exe check
expect_eq "$(tr -d '\r' <"$work/tool.out")" "$unicode_windows_dir/SpeedLauncher-pellicor.xml: 0 errors, 0 warnings" "check"
expect_eq "$err" "" "check's standard error"
expect_eq "$status" 0 "check's exit status"
tool "$dir" ./speedlauncher.exe warm --strict
expect_eq "$err" "" "warm's standard error"
expect_eq "$status" 0 "warm --strict's exit status"
tool "$work" "$dir/speedlauncher.exe" check --list 'C:\Program Files\Ĥarlund Tëst\SpeedLauncher-pellicor.xml'
expect_contains "$(tr -d '\r' <"$work/tool.out")" ": 0 errors, 0 warnings" "check --list from elsewhere ($err)"
end

begin "lexiqon.exe opens and names files outside the ANSI code page"
cp "$dir/Dictionaries/fr_FR/lexdictionary.dat" "$dir/Ĥé dict.dat"
tool "$dir" ./lexiqon.exe stats 'Ĥé dict.dat'
expect_eq "$status" 0 "exit status of stats ($err)"
expect_contains "$(tr -d '\r' <"$work/tool.out")" "Ĥé dict.dat:" "stats names the file"
tool "$dir" ./lexiqon.exe stats 'nowhere é.dat'
expect_eq "$err" "lexiqon: nowhere é.dat: error: No such file or directory" "a missing file"
expect_eq "$status" 2 "exit status for a missing file"
end

# A terminal gives a Wine program a console, which shows UTF-16: text that
# reached it as UTF-8 bytes would show in the console's code page.
begin "lexiqon.exe's text on a console shows as the UTF-8 it is; CON is written through"
shown="$(cd "$dir" && LC_ALL="$wine_locale" timeout -k 5 "$limit" script -q -e -c \
  "$wine ./lexiqon.exe stats 'Ĥé dict.dat'; $wine ./lexiqon.exe stats 'nowhere é.dat';
   $wine ./lexiqon.exe decompile 'Ĥé dict.dat' -o CON >/dev/null; echo con=\$?" /dev/null |
  sed 's/\x1b\[[?0-9;]*[A-Za-z]//g' | tr -d ' \r')"
expect_contains "$shown" "Ĥédict.dat:" "standard output (without blanks, which the console moves over)"
expect_contains "$shown" "lexiqon:nowhereé.dat:error:Nosuchfileordirectory" "standard error"
expect_contains "$shown" "con=0" "exit status of -o CON"
end

begin "lexiqon.exe writes standard output byte for byte, reads standard input so, and writes NUL through"
tool "$dir" ./lexiqon.exe decompile 'Ĥé dict.dat' -o -
cp "$work/tool.out" "$work/decompiled"
expect_eq "$status" 0 "exit status of decompile -o - ($err)"
tool "$dir" ./lexiqon.exe decompile 'Ĥé dict.dat' -o 'sortie é.txt'
cmp -s "$work/decompiled" "$dir/sortie é.txt" || fail "decompile -o - differs from -o FILE"
if [[ -x "${PELLICOR_HOST_LEXIQON:-}" ]]; then
  "$PELLICOR_HOST_LEXIQON" decompile "$dir/Ĥé dict.dat" -o - | cmp -s - "$work/decompiled" ||
    fail "decompile -o - differs from the Linux lexiqon's"
else
  echo "  (no PELLICOR_HOST_LEXIQON: not compared with the Linux output)"
fi
tool_input="$work/decompiled" tool "$dir" ./lexiqon.exe compile - -o -
cp "$work/tool.out" "$work/compiled"
tool "$dir" ./lexiqon.exe compile 'sortie é.txt' -o 'compilé.dat'
cmp -s "$work/compiled" "$dir/compilé.dat" || fail "compile - -o - differs from compile FILE -o FILE"
# From a pipe, which is copied to a temporary file first.
cat "$work/decompiled" | (cd "$dir" && w ./lexiqon.exe compile - -o 'piped.dat') ||
  fail "compile of a pipe failed"
cmp -s "$dir/piped.dat" "$dir/compilé.dat" || fail "compile of a pipe differs from compile FILE"
tool "$dir" ./lexiqon.exe decompile 'Ĥé dict.dat' -o NUL
expect_eq "$status" 0 "exit status of -o NUL"
expect_eq "$err" "" "standard error of -o NUL"
leftovers="$(cd "$dir" && ls -a | grep -i -E '^nul$|lexiqon-' || true)"
expect_eq "$leftovers" "" "files left by -o NUL"
end

begin "every private assembly the manifest names is found (+actctx)"
dir="$(fresh_tree)"
(cd "$dir" && WINEDEBUG=+actctx w ./Pellicor.exe --exit 0 >"$work/trace" 2>&1)
found="$(grep -a -c 'parsing manifest loaded from .*Plug-ins[\]*Common[\]*Harlund\.Pellicor\.[A-Za-z]*\.manifest' "$work/trace")"
expect_eq "$found" 4 "private assembly manifests loaded"
missing="$(grep -a 'Could not find dependent assembly' "$work/trace" || true)"
expect_lacks "$missing" 'Plug-ins' "missing assemblies"
end

# --- Localized messages -----------------------------------------------------------

title_key='$$$/Frontend/FEAppStartupErrorTitle=Harlund Pellicor Startup Error'
if [[ ! -d "$tree/Dictionaries" ]]; then
  skip "localized messages" "the installed tree has no Dictionaries folder"
else
  begin "French and German messages from the installed dictionaries, defaults for Italian"
  dir="$(fresh_tree)"
  wine_locale=fr_FR.UTF-8 launch "$dir" --localize "$title_key"
  expect_contains "$out" "Stoven: Bienvenue dans Harlund Pellicor." "French greeting"
  expect_contains "$out" $'Stoven: localized "Erreur au d\xc3\xa9marrage de Harlund Pellicor"' "French title"
  wine_locale=de_DE.UTF-8 launch "$dir" --localize "$title_key"
  expect_contains "$out" "Stoven: Willkommen bei Harlund Pellicor." "German greeting"
  expect_contains "$out" 'Stoven: localized "Startfehler von Harlund Pellicor"' "German title"
  wine_locale=it_IT.UTF-8 launch "$dir" --localize "$title_key"
  expect_contains "$out" "Stoven: Welcome to Harlund Pellicor." "default greeting"
  expect_contains "$out" 'Stoven: localized "Harlund Pellicor Startup Error"' "default title"
  end

  begin "a UTF-16 dictionary beside the launcher; a missing entry gives its default"
  dir="$(fresh_tree)"
  rm -r "$dir/Dictionaries"
  { printf '\xff\xfe'
    printf '"$$$/Frontend/WineSuiteGreeting=Gr\xc3\xbc\xc3\x9f aus dem W\xc3\xb6rterbuch"\r\n' |
      iconv -f UTF-8 -t UTF-16LE; } >"$dir/lexdictionary.dat"
  launch "$dir" --localize '$$$/Frontend/WineSuiteGreeting=Hello' \
    --localize '$$$/Frontend/WineSuiteMissing=Fallback'
  expect_contains "$out" $'Stoven: localized "Gr\xc3\xbc\xc3\x9f aus dem W\xc3\xb6rterbuch"' "dictionary entry"
  expect_contains "$out" 'Stoven: localized "Fallback"' "default text of a missing entry"
  end

  begin "the all-users dictionary is loaded after the installation's"
  dir="$(fresh_tree)"
  machine="$(folder_of ProgramData)/Harlund/Pellicor/19.0/locale/fr_FR/Dictionaries"
  mkdir -p "$machine"
  printf '"$$$/Machine/Only=machine"\n"$$$/Stoven/Greeting=Bonjour de la machine."\n' \
    >"$machine/lexdictionary.dat"
  wine_locale=fr_FR.UTF-8 launch "$dir" --localize '$$$/Machine/Only=x' --localize "$title_key"
  expect_contains "$out" "Stoven: Bonjour de la machine." "greeting replaced by the later file"
  expect_contains "$out" 'Stoven: localized "machine"' "entry of the all-users file"
  expect_contains "$out" $'Stoven: localized "Erreur au d\xc3\xa9marrage' "entry of the installation's file"
  rm -r "$(folder_of ProgramData)/Harlund"
  end
fi

# --- Crash reporting ------------------------------------------------------------
# Wine's error-reporting registration is a stub, so crash_probe.exe plays the
# reporting host: it runs the launcher under its debugger, takes the module and
# context the launcher registers, and calls the module's callback on the
# crashed launcher.

# probe DIR [ARGS...]: the launcher of DIR under the probe, with ARGS or
# --crash; sets probe_out (standard output and error), probe_status. DIR is
# named to Windows as probe_windows_dir, when set, or on drive Z:.
probe() {
  local dir=$1
  shift
  [[ $# -gt 0 ]] || set -- --crash
  local try
  # Now and then Wine starts the probe and it prints nothing at all, not
  # even the registration; one more try tells that apart from a failure.
  for try in 1 2; do
    (cd "$dir" && w "$helpers/crash_probe.exe" "${probe_windows_dir:-$(windows_path "$dir")}\\Pellicor.exe" "$@" \
      >"$work/probe" 2>&1)
    probe_status=$?
    probe_out="$(tr -d '\r' <"$work/probe")"
    [[ -n "$probe_out" ]] && break
  done
}
# The report's lines of one thread: thread_block TEXT ID
thread_block() {
  awk -v id="$2" '$0 ~ "^Thread " id "( \"[^\"]*\")?( \\(crashed\\))?:$" { on = 1; next }
    on && /^$/ { exit } on' <<<"$1"
}
crashed_thread() { sed -n 's/^Crashed thread: \([0-9]*\)$/\1/p' <<<"$1"; }
signature() { sed -n 's/^Signature: \([0-9a-f]\{16\}\)$/\1/p' <<<"$1"; }
# Frame lines ("  #3  0x...  Stoven.dll+0x2008  Run+0xa48") naming MODULE.
frames_in() { grep -c -E "^  #[0-9]+ +0x[0-9a-f]+  $2\\+0x" <<<"$1"; }
# A report's module list holds the module with its range: MODULE WHAT
expect_module_listed() {
  grep -q -E "^  0x[0-9a-f]{16}-0x[0-9a-f]{16}  .*\\\\$2  " <<<"$1" || fail "$3: $2 not in the module list"
}

if [[ ! -f "$helpers/crash_probe.exe" ]]; then
  skip "crash reporting" "no crash_probe.exe among the helpers"
else
  begin "the crash handler's callback reads the settings record out of the crashed launcher"
  dir="$(fresh_tree)"
  rm "$dir/SpeedLauncher-pellicor.xml"
  probe "$dir"
  expect_eq "$probe_status" 0 "crash probe exit status ($probe_out)"
  expect_contains "$probe_out" "probe: registered $(windows_path "$dir")\\vantilcrashhandler.dll with context 0x" \
    "registration"
  expect_contains "$probe_out" "probe: unhandled exception 0xC0000005" "crash"
  expect_contains "$probe_out" "probe: registry value present" "registry value at the crash"
  expect_contains "$probe_out" "callback result 0x00000000, ownership claimed 0, signatures 0" "callback result"
  expect_contains "$probe_out" "Product: VANTIL_PRODUCT_NAME" "report: product"
  expect_contains "$probe_out" "Crash: exception 0xC0000005 (access violation), write, address 0x100" \
    "report: the invalid write and its data address"
  expect_contains "$probe_out" "Forum: https://community.harlund.example/pellicor/" "report: forum"
  expect_lacks "$probe_out" "Crash dialog suppressed." "dialog"
  expect_contains "$probe_out" "Faulting module: Stoven.dll+0x" "report: faulting module"
  crash_signature="$(signature "$probe_out")"
  [[ -n "$crash_signature" ]] || fail "report: no 16-digit Signature line"
  expect_contains "$probe_out" "Application: Pellicor 19.0 (build " "report: the application's version"
  expect_contains "$probe_out" "Crash handler: vantilcrashhandler 19.0 (build " "report: the handler's version"
  thread="$(crashed_thread "$probe_out")"
  crashed="$(thread_block "$probe_out" "$thread")"
  stoven=$(frames_in "$crashed" Stoven.dll)
  pellicor=$(frames_in "$crashed" 'Pellicor\.exe')
  ((stoven >= 1 && pellicor >= 1 && stoven + pellicor >= 3)) ||
    fail "crashed thread [$thread]: $stoven Stoven.dll and $pellicor Pellicor.exe frames in [$crashed]"
  expect_contains "$crashed" "Run+0x" "crashed thread: Run named from the export table"
  expect_contains "$probe_out" "Registers of thread $thread at the fault:" "report: registers"
  expect_module_listed "$probe_out" Pellicor.exe "report"
  expect_module_listed "$probe_out" Stoven.dll "report"
  expect_module_listed "$probe_out" kernel32.dll "report"
  end

  begin "--crash-thread: the report names the worker thread and shows the main thread waiting for it"
  dir="$(fresh_tree)"
  rm "$dir/SpeedLauncher-pellicor.xml"
  probe "$dir" --crash-thread
  expect_eq "$probe_status" 0 "crash probe exit status ($probe_out)"
  expect_contains "$probe_out" "Crash: exception 0xC0000005 (access violation), write, address 0x100" \
    "report: the invalid write"
  thread="$(crashed_thread "$probe_out")"
  crashed="$(thread_block "$probe_out" "$thread")"
  ((${#thread} > 0 && $(frames_in "$crashed" Stoven.dll) >= 1)) ||
    fail "crashed thread [$thread] has no Stoven.dll frame: [$crashed]"
  expect_lacks "$crashed" "Pellicor.exe+" "the worker thread's stack"
  waiting=""
  for other in $(sed -n 's/^Thread \([0-9]*\)\( "[^"]*"\)\{0,1\}:$/\1/p' <<<"$probe_out"); do
    block="$(thread_block "$probe_out" "$other")"
    (($(frames_in "$block" Stoven.dll) >= 1 && $(frames_in "$block" 'Pellicor\.exe') >= 2)) && waiting=$other
  done
  [[ -n "$waiting" ]] || fail "no other thread with Stoven.dll and Pellicor.exe frames ($probe_out)"
  thread_signature="$(signature "$probe_out")"
  [[ -n "$thread_signature" && "$thread_signature" != "$crash_signature" ]] ||
    fail "signature [$thread_signature] should differ from --crash's [$crash_signature]"
  end

  begin "abort() is reported as abort, from the aborting frames"
  dir="$(fresh_tree)"
  rm "$dir/SpeedLauncher-pellicor.xml"
  probe "$dir" --abort
  expect_eq "$probe_status" 0 "crash probe exit status ($probe_out)"
  expect_contains "$probe_out" "Crash: abort (exception 0x40000015 raised for SIGABRT)" "report: abort"
  crashed="$(thread_block "$probe_out" "$(crashed_thread "$probe_out")")"
  expect_contains "$crashed" "msvcrt.dll+" "crashed thread: the runtime's abort"
  expect_contains "$crashed" "  abort+0x" "crashed thread: abort named"
  (($(frames_in "$crashed" Stoven.dll) >= 1)) || fail "crashed thread: no Stoven.dll frame [$crashed]"
  [[ -n "$(signature "$probe_out")" ]] || fail "report: no Signature line"
  end

  begin "without a console log the report and a minidump land in the user's crash folder"
  crashes="$(folder_of LOCALAPPDATA)/Harlund/Pellicor/Crashes"
  crashes_windows="$(w cmd /c echo "%LOCALAPPDATA%" 2>/dev/null | tr -d '\r')\\Harlund\\Pellicor\\Crashes"
  rm -rf "$crashes"
  dir="$(fresh_tree)"
  rm "$dir/SpeedLauncher-pellicor.xml"
  probe "$dir"
  report="$(find "$crashes" -name 'crash-*.txt' 2>/dev/null | head -1)"
  dump="${report%.txt}.dmp"
  if [[ -z "$report" || ! -f "$dump" ]]; then
    fail "no crash-*.txt and crash-*.dmp in $crashes ($probe_out)"
  else
    expect_contains "$probe_out" "Report file: $crashes_windows\\$(basename "$report")" \
      "report file named"
    expect_contains "$(tr -d '\r' <"$report")" "Minidump: $crashes_windows\\$(basename "$dump")" \
      "report names the dump"
    expect_eq "$(signature "$(tr -d '\r' <"$report")")" "$crash_signature" \
      "signature of a second run of the same crash"
    check="$(w "$helpers/minidump_check.exe" "$(windows_path "$dump")" 2>&1 | tr -d '\r')"
    check_status=$?
    expect_eq "$check_status" 0 "minidump check ($check)"
    expect_contains "$check" "exception 0xC0000005" "dump: exception stream"
    expect_contains "$check" "\\Pellicor.exe" "dump: module list"
    expect_contains "$check" "\\Stoven.dll" "dump: module list"
  fi
  rm -rf "$crashes"
  end

  begin "the crash report lands in the console log's folder"
  dir="$(fresh_tree)"
  rm "$dir/SpeedLauncher-pellicor.xml"
  logs="$(dirname "$dir")/logs"
  mkdir "$logs"
  echo started >"$logs/console.log"
  VANTIL_CONSOLE_LOG="$(windows_path "$logs")\\console.log" probe "$dir"
  report="$(find "$logs" -name 'crash-*.txt' | head -1)"
  if [[ -z "$report" ]]; then
    fail "no crash-*.txt in the log folder ($probe_out)"
  else
    expect_contains "$(cat "$report")" "Product: VANTIL_PRODUCT_NAME" "report file"
    expect_contains "$probe_out" "Report file: $(windows_path "$logs")\\$(basename "$report")" \
      "report file named"
    [[ -f "${report%.txt}.dmp" ]] || fail "no minidump beside the report"
  fi
  end

  begin "a stack overflow: the walk gets past the stack probe to Run, and leaves out the middle"
  dir="$(fresh_tree)"
  rm "$dir/SpeedLauncher-pellicor.xml"
  probe "$dir" --stack-overflow
  expect_eq "$probe_status" 0 "crash probe exit status ($probe_out)"
  expect_contains "$probe_out" "Crash: exception 0xC00000FD (stack overflow)" "report: stack overflow"
  crashed="$(thread_block "$probe_out" "$(crashed_thread "$probe_out")")"
  expect_contains "$crashed" " frames not shown ..." "crashed thread: the middle left out"
  expect_contains "$crashed" "  Run+0x" "crashed thread: Run among the outermost frames"
  (($(frames_in "$crashed" 'Pellicor\.exe') >= 1)) || fail "crashed thread: no Pellicor.exe frame"
  end

  begin "folders outside ASCII: a tree below one in the profile registers and reports, a console log below one gets the report"
  profile="$(folder_of USERPROFILE)"
  dir="$profile/Ĥarlund Tëst"
  mv "$(fresh_tree)" "$dir"
  rm "$dir/SpeedLauncher-pellicor.xml"
  logs="$WINEPREFIX/drive_c/lögs ë"
  mkdir "$logs"
  echo started >"$logs/console.txt"
  dir_windows="$(w winepath -w "$dir" 2>/dev/null | tr -d '\r')"
  probe_windows_dir="$dir_windows" VANTIL_CONSOLE_LOG='C:\lögs ë\console.txt' probe "$dir"
  expect_contains "$probe_out" "probe: registered $dir_windows\\vantilcrashhandler.dll" "registration"
  report="$(find "$logs" -name 'crash-*.txt' | head -1)"
  if [[ -z "$report" ]]; then
    fail "no crash-*.txt in $logs ($probe_out)"
  else
    expect_contains "$probe_out" "Report file: C:\\lögs ë\\$(basename "$report")" "report file named"
    expect_contains "$(tr -d '\r' <"$report")" "Minidump: C:\\lögs ë\\$(basename "${report%.txt}.dmp")" \
      "report names the dump"
    [[ -s "${report%.txt}.dmp" ]] || fail "no minidump beside the report"
    expect_module_listed "$(tr -d '\r' <"$report")" Stoven.dll "report"
    modules="$(sed -n '/^Modules:/,$p' "$report" | tr -d '\r')"
    expect_contains "$modules" "  %USERPROFILE%\\Ĥarlund Tëst\\Stoven.dll  " "module path from the profile"
    expect_lacks "$modules" 'C:\users\' "module paths"
  fi
  rm -rf "$logs" "$dir"
  end

  begin "a call through null, 80 threads, a mapped document and a library loaded as data"
  dir="$(fresh_tree)"
  rm "$dir/SpeedLauncher-pellicor.xml"
  cp "$helpers/crash/Stoven.dll" "$dir/Stoven.dll"
  probe "$dir" null-call
  expect_contains "$probe_out" "Crash: exception 0xC0000005 (access violation), execute, address 0x0" \
    "report: the call to nowhere"
  crashed="$(thread_block "$probe_out" "$(crashed_thread "$probe_out")")"
  expect_contains "$crashed" "  #0  0x0000000000000000  (no module)" "crashed thread: the null frame"
  expect_contains "$crashed" "  Run+0x" "crashed thread: walked on to the caller"
  (($(frames_in "$crashed" 'Pellicor\.exe') >= 1)) || fail "crashed thread: no Pellicor.exe frame"
  probe "$dir" threads 80
  expect_eq "$(grep -c '^Thread [0-9]*' <<<"$probe_out")" 64 "threads shown"
  expect_contains "$probe_out" "more threads" "the threads not shown counted"
  expect_contains "$probe_out" ' "waiter":' "thread names"
  documents="$(folder_of USERPROFILE)/Documents"
  documents_windows="$(w cmd /c echo "%USERPROFILE%" 2>/dev/null | tr -d '\r')\\Documents"
  mkdir -p "$documents"
  echo "1200 rent" >"$documents/Private Budget.pell"
  cp "$dir/QuenorFoundation.dll" "$documents/Data Only.dll"
  probe "$dir" mapped "$documents_windows\\Private Budget.pell" "$documents_windows\\Data Only.dll"
  expect_contains "$probe_out" "Crash: exception 0xC0000005 (access violation), write, address 0x100" "report"
  expect_lacks "$probe_out" "Budget" "report: the mapped document"
  expect_lacks "$probe_out" "Data Only" "report: the library loaded as data"
  rm -f "$documents/Private Budget.pell" "$documents/Data Only.dll"
  end

  begin "SuppressCrashHandlerDialog in the debug database suppresses the dialog"
  dir="$(fresh_tree)"
  rm "$dir/SpeedLauncher-pellicor.xml"
  maker="$(folder_of APPDATA)/Harlund"
  mkdir -p "$maker"
  printf 'SuppressCrashHandlerDialog=true\n' >"$maker/DebugDatabase.txt"
  probe "$dir"
  rm -r "$maker"
  expect_contains "$probe_out" "Product: VANTIL_PRODUCT_NAME" "report"
  expect_contains "$probe_out" "Crash dialog suppressed." "dialog"
  end
fi

echo "wine-suite: $passed passed, $failed failed, $skipped skipped in $((SECONDS - started)) s"
[[ $failed -eq 0 ]]
