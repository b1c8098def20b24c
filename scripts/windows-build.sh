#!/usr/bin/env bash
# The whole Windows build on a fresh Debian machine: installs the cross
# compiler when missing, builds Boost and TinyXML for it when the cache lacks
# them, cross-compiles the windows preset and installs the Windows tree:
#
#   scripts/windows-build.sh DIR          (DIR is emptied first)
#
# PELLICOR_WINDOWS_BUILD (default build/windows) and PELLICOR_WINDOWS_DEPS_CACHE
# (default ~/.cache/pellicor/windows-deps) move the build and the dependency cache.
set -euo pipefail

if [[ $# -ne 1 || -z "$1" ]]; then
  echo "usage: $0 DIR" >&2
  exit 2
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${PELLICOR_WINDOWS_BUILD:-$root/build/windows}"
# Outside the checkout, so that fresh checkouts of CI reuse it; its stamp
# says what it was built from.
deps_cache="${PELLICOR_WINDOWS_DEPS_CACHE:-${XDG_CACHE_HOME:-${HOME:-$root/build}/.cache}/pellicor/windows-deps}"
jobs="${PELLICOR_JOBS:-2}"

source "$root/scripts/lib/packages.sh"
ensure_packages windows-build cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64

PELLICOR_JOBS="$jobs" bash "$root/scripts/windows-deps.sh" "$deps_cache"

# The Linux build's lexiqon compiles the dictionaries; without one the text
# sources are installed, which the launcher reads as well.
host_lexiqon="${PELLICOR_HOST_LEXIQON:-$root/build/default/tools/lexiqon/lexiqon}"
[[ -x "$host_lexiqon" ]] || host_lexiqon=""

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELLICOR_HOST_LEXIQON="$host_lexiqon" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
  -DPELLICOR_WINDOWS_DEPS="$deps_cache/prefix" \
  -DPELLICOR_BUILD_TESTS=OFF -DPELLICOR_BUILD_BENCHMARKS=OFF -DPELLICOR_BUILD_FUZZERS=OFF \
  -DPELLICOR_BUILD_WINE_SUITE=ON -DPELLICOR_WERROR=ON >/dev/null
cmake --build "$build" -j"$jobs"

mkdir -p "$1"
prefix="$(cd "$1" && pwd)"
find "$prefix" -mindepth 1 -delete
cmake --install "$build" --prefix "$prefix" --strip >/dev/null
echo "windows-build: Windows tree installed in $prefix"
