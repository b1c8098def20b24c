#!/usr/bin/env bash
# completion_test.sh TOOLS_SOURCE_DIR LEXIQON SPEEDLAUNCHER
# Drives each tool's completion function as bash does (COMP_WORDS,
# COMP_CWORD, COMPREPLY, under bash-completion) and holds what it offers
# against the tools' own --help: every command's options, the values of
# the options that list them, file names with spaces kept whole.
set -uo pipefail
tools_source=$1
lexiqon=$2
speedlauncher=$3

bash_completion=${BASH_COMPLETION:-/usr/share/bash-completion/bash_completion}
if [[ ! -r "$bash_completion" ]]; then
  echo "FAIL: bash-completion is not installed ($bash_completion)"
  exit 1
fi
shopt -s extglob progcomp
# What an interactive bash splits words at; a script has none set.
COMP_WORDBREAKS=$' \t\n"\'><=;|&(:'
# shellcheck disable=SC1090
source "$bash_completion"
source "$tools_source/lexiqon/lexiqon.bash-completion"
source "$tools_source/speedlauncher/speedlauncher.bash-completion"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# complete WORD... : the words of the line as bash splits them, the last
# being completed; prints COMPREPLY one per line, sorted.
complete_words() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  # The line as typed: no blanks around a "=" that bash split at.
  COMP_LINE=$1
  local i
  for ((i = 1; i < $#; i++)); do
    if [[ "${COMP_WORDS[i]}" == "=" || "${COMP_WORDS[i - 1]}" == "=" ]]; then
      COMP_LINE+=${COMP_WORDS[i]}
    else
      COMP_LINE+=" ${COMP_WORDS[i]}"
    fi
  done
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  local function
  function=$(complete -p "$1" | sed -E 's/.* -F ([^ ]+) .*/\1/')
  "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort
}

expect() {
  local what=$1 expected=$2 actual=$3
  [[ "$expected" == "$actual" ]] || fail "$what (tools/*/*.bash-completion): expected [$(tr '\n' ' ' <<<"$expected")] got [$(tr '\n' ' ' <<<"$actual")]"
}

help_options() {
  awk '/^Options:/ { on = 1; next } /^[^ ]/ { on = 0 }
       on && /^  -/ { n = split($1, names, ","); for (i = 1; i <= n; i++) print names[i] }'
}
help_commands() { awk '/^Subcommands:/ { on = 1; next } /^[^ ]/ { on = 0 } on && NF { print $1 }'; }
# The values an option's help lists, as in "--format TEXT:{1.0,1.5}".
help_values() {
  local option=$1
  grep -oE -- "(^|[ ,])$option [A-Z]+:\{[^}]*\}" | sed -E 's/.*\{(.*)\}/\1/' | tr ',' '\n' | sort -u
}

# Every command and option of a tool's help, and nothing it lacks.
for tool in "$lexiqon" "$speedlauncher"; do
  name=$(basename "$tool")
  global=$("$tool" --help)
  commands=$(help_commands <<<"$global")
  expect "$name <TAB>" "$(sort <<<"$commands"$'\n'"$(help_options <<<"$global")")" \
    "$(complete_words "$name" "" | grep -vx -- '--')"
  for command in $commands; do
    usage=$("$tool" "$command" --help)
    # "--" ends record's options; it is offered but is no option.
    expect "$name $command -<TAB>" "$(help_options <<<"$usage" | sort -u)" \
      "$(complete_words "$name" "$command" "-" | grep -vx -- '--' | sort -u)"
    for option in $(help_options <<<"$usage"); do
      values=$(help_values "$option" <<<"$usage")
      [[ -n "$values" ]] || continue
      expect "$name $command $option <TAB>" "$values" "$(complete_words "$name" "$command" "$option" "")"
    done
  done
done

# Values bash splits off at "=", and values no help lists.
expect "lexiqon compile --format=2<TAB>" $'2.0\n2.1' \
  "$(complete_words lexiqon compile --format = 2)"
expect "speedlauncher warm --mode <TAB>" $'1\n3\n4\n5' "$(complete_words speedlauncher warm --mode "")"

# File names with spaces stay whole, for arguments and option values.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
touch "my file.txt" "my list.xml" "other.dat"
mkdir "my folder"
expect "lexiqon compile my<TAB>" $'my file.txt\nmy folder\nmy list.xml' "$(complete_words lexiqon compile my)"
expect "lexiqon decompile -o my<TAB>" $'my file.txt\nmy folder\nmy list.xml' \
  "$(complete_words lexiqon decompile -o my)"
expect "speedlauncher check --list my<TAB>" $'my folder\nmy list.xml' \
  "$(complete_words speedlauncher check --list my)"
expect "speedlauncher check --dir my<TAB>" "my folder" "$(complete_words speedlauncher check --dir my)"
# A text to look up is no file name.
expect "lexiqon lookup -d other.dat my<TAB>" "" "$(complete_words lexiqon lookup -d other.dat my)"

# After "record ... --", the program and its own arguments.
# (compopt says it runs outside a real completion; the words are still offered.)
expect "speedlauncher record -o x.xml -- true<TAB>" "true" \
  "$(complete_words speedlauncher record -o x.xml -- true 2>/dev/null | grep -x true | uniq)"
expect "speedlauncher record -o x.xml -- ls my<TAB>" $'my file.txt\nmy folder\nmy list.xml' \
  "$(complete_words speedlauncher record -o x.xml -- ls my 2>/dev/null)"

((failures == 0)) && echo "completion matches the tools' help"
((failures == 0))
