#!/usr/bin/env bash
# manual_pages_test.sh MANDIR TOOL...
# Keeps the manual pages from drifting from the tools: every option a
# command's --help prints is in that command's section of the page (or
# among the global options), every command has a section, every page has
# the sections a reader looks for, and man renders each without a warning.
set -uo pipefail
mandir=$1
shift
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The page as man shows it, wide enough that no line is broken.
render() { LC_ALL=C.UTF-8 MANWIDTH=250 man -E UTF-8 -l "$1" 2>/dev/null; }

# Options in a --help text: the words starting with "-" before the
# description column, on the lines of its Options block.
help_options() {
  awk '/^Options:/ { on = 1; next } /^[^ ]/ { on = 0 }
       on && /^  -/ { n = split($1, names, ","); for (i = 1; i <= n; i++) print names[i] }'
}

# The commands a tool's --help lists.
help_commands() { awk '/^Subcommands:/ { on = 1; next } /^[^ ]/ { on = 0 } on && NF { print $1 }'; }

# One section of a rendered page: from its heading to the next of its level.
section() {
  local heading=$1
  awk -v h="$heading" '
    $0 == h { on = 1; next }
    on && /^[^ ]/ { exit }
    on && h ~ /^   / && /^   [^ ]/ { exit }
    on { print }'
}

check_page() {
  local page=$1 name=$2 required=$3
  local warnings
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "$name: man --warnings: $warnings"
  local text
  text=$(render "$page")
  local heading
  while IFS= read -r heading; do
    [[ -n "$(section "$heading" <<<"$text" | tr -d '[:space:]')" ]] ||
      fail "$name: no section $heading"
  done <<<"$required"
}

sections="NAME
SYNOPSIS
DESCRIPTION
EXIT STATUS
ENVIRONMENT
FILES
EXAMPLES
SEE ALSO"

[[ -f "$mandir/Pellicor.1" ]] || fail "Pellicor.1 missing in $mandir"
[[ -f "$mandir/Pellicor.1" ]] && check_page "$mandir/Pellicor.1" Pellicor "$sections
OPTIONS"

for tool in "$@"; do
  name=$(basename "$tool")
  page=$mandir/$name.1
  if [[ ! -f "$page" ]]; then
    fail "$name.1 missing in $mandir"
    continue
  fi
  check_page "$page" "$name" "$sections
GLOBAL OPTIONS
COMMANDS"
  text=$(render "$page")
  global=$(section "GLOBAL OPTIONS" <<<"$text")
  for option in $("$tool" --help | help_options); do
    grep -qE -- "^ +(-[^ ,]+,? )*$option(,| |$)" <<<"$global" || fail "$name: $option is not among the global options (docs/man/$name.1.scd)"
  done
  commands=$("$tool" --help | help_commands)
  [[ -n "$commands" ]] || fail "$name: --help lists no commands"
  for command in $commands; do
    body=$(section "   $command" <<<"$text")
    if [[ -z "$body" ]]; then
      fail "$name: no section for the command $command (docs/man/$name.1.scd)"
      continue
    fi
    for option in $("$tool" "$command" --help | help_options); do
      grep -qE -- "^ +(-[^ ,]+,? )*$option(,| |$)" <<<"$body"$'\n'"$global" ||
        fail "$name $command: $option is not in its section (docs/man/$name.1.scd)"
    done
  done
done

((failures == 0)) && echo "every page complete and clean"
((failures == 0))
