#!/usr/bin/env bash
# Compiles every source of the Windows build of the platform layer with the
# mingw-w64 cross compiler, so the Windows backend keeps building on Linux.
set -u

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
compiler="${MINGW_CXX:-}"
if [[ -z "$compiler" ]]; then
  for candidate in x86_64-w64-mingw32-g++ x86_64-w64-mingw32-g++-posix; do
    if command -v "$candidate" >/dev/null 2>&1; then compiler="$candidate"; break; fi
  done
fi
if [[ -z "$compiler" ]]; then
  echo "check-windows-platform: no x86_64-w64-mingw32-g++ found (package g++-mingw-w64-x86-64)" >&2
  exit 2
fi

output="$(mktemp -d)"
trap 'rm -rf "$output"' EXIT

sources=("$root/platform/command_line.cpp" "$root/platform/utf_common.cpp")
for source in "$root"/platform/*_win.cpp; do sources+=("$source"); done

failed=0
for source in "${sources[@]}"; do
  name="$(basename "$source" .cpp)"
  echo "compiling ${source#"$root"/}"
  if ! "$compiler" -std=c++20 -Wall -Wextra -Werror -I"$root" -I"$root/interfaces" \
      -c "$source" -o "$output/$name.o"; then
    echo "FAILED: ${source#"$root"/}" >&2
    failed=1
  fi
done

if [[ $failed -ne 0 ]]; then
  echo "check-windows-platform: failed" >&2
  exit 1
fi
echo "check-windows-platform: ${#sources[@]} files compiled with $compiler"
