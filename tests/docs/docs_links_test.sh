#!/usr/bin/env bash
# docs_links_test.sh SOURCE_DIR
# The pages a reader follows: every link from README.md, CONTRIBUTING.md and
# docs/*.md to a file of the tree (and to a heading, after "#") leads
# somewhere, no table cell is longer than 300 characters, and the README
# stays a front page (at most 20,000 characters, the set-up commands first).
set -uo pipefail
cd "$1" || exit 1
export LC_ALL=C.UTF-8
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The anchor a heading gets: lower case, punctuation dropped, blanks as "-".
anchors() {
  awk '/^```/ { code = !code; next }
       !code && /^#+ / {
         sub(/^#+ +/, ""); $0 = tolower($0)
         gsub(/[][!"#$%&'\''()*+,.\/:;<=>?@\\^`{|}~]/, ""); gsub(/ /, "-"); print }' "$1"
}

# Links outside code, one "LINE TARGET" per line.
links() {
  awk '/^```/ { code = !code; next }
       !code {
         line = $0; gsub(/`[^`]*`/, "", line)
         while (match(line, /\]\([^) ]*\)/)) {
           print NR, substr(line, RSTART + 2, RLENGTH - 3); line = substr(line, RSTART + RLENGTH)
         }
       }' "$1"
}

# Table cells longer than 300 characters, as "LINE LENGTH".
long_cells() {
  awk '/^```/ { code = !code; next }
       !code && /^ *\|/ {
         row = $0; gsub(/\\\|/, "x", row); n = split(row, cells, "|")
         for (i = 2; i < n; i++) { cell = cells[i]; gsub(/^ +| +$/, "", cell)
           if (length(cell) > 300) print NR, length(cell) }
       }' "$1"
}

pages=(README.md CONTRIBUTING.md docs/*.md)
for page in "${pages[@]}"; do
  [[ -f "$page" ]] || { fail "$page is missing"; continue; }
  folder=$(dirname "$page")
  while read -r line target; do
    [[ "$target" =~ ^[a-z]+: ]] && continue # an address outside the tree
    path=${target%%#*}
    anchor=""
    [[ "$target" == *"#"* ]] && anchor=${target#*#}
    file=$page
    if [[ -n "$path" ]]; then
      file=$folder/$path
      [[ -e "$file" ]] || { fail "$page:$line: $target: no such file"; continue; }
    fi
    if [[ -n "$anchor" ]]; then
      if [[ ! -f "$file" || "$file" != *.md ]]; then
        fail "$page:$line: $target: an anchor into a file that is no page"
      elif ! anchors "$file" | grep -qxF -- "$anchor"; then
        fail "$page:$line: $target: no heading $anchor in $file"
      fi
    fi
  done < <(links "$page")
  while read -r line length; do
    fail "$page:$line: a table cell of $length characters (at most 300)"
  done < <(long_cells "$page")
done

size=$(wc -m <README.md)
((size <= 20000)) || fail "README.md: $size characters (at most 20,000)"
head -n 12 README.md | grep -qF 'bash scripts/demo.sh' || fail "README.md: no demo command in its first lines"
head -n 12 README.md | grep -qF 'bash scripts/test.sh' || fail "README.md: no test command in its first lines"

((failures == 0)) && echo "every link leads somewhere, every cell is short"
((failures == 0))
