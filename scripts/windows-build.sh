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

# A lexiqon that runs here compiles the dictionaries, so that the Windows
# tree ships the same compiled files as the Linux one: the Linux build's, or
# else one built for the purpose (PELLICOR_HOST_TOOLS_BUILD, default
# build/host-tools).
if [[ -n "${PELLICOR_HOST_LEXIQON:-}" ]]; then
  host_lexiqon="$PELLICOR_HOST_LEXIQON"
  if [[ ! -x "$host_lexiqon" ]]; then
    echo "windows-build: PELLICOR_HOST_LEXIQON: $host_lexiqon is not an executable lexiqon" >&2
    exit 2
  fi
else
  host_lexiqon="$root/build/default/tools/lexiqon/lexiqon"
fi
if [[ ! -x "$host_lexiqon" ]]; then
  host_build="${PELLICOR_HOST_TOOLS_BUILD:-$root/build/host-tools}"
  echo "windows-build: no lexiqon for this machine; building one in $host_build"
  ensure_packages windows-build g++ pkg-config libboost-filesystem-dev libboost-regex-dev \
    libboost-system-dev libboost-thread-dev libtinyxml-dev libcli11-dev libdw-dev scdoc
  cmake -S "$root" -B "$host_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DPELLICOR_BUILD_TESTS=OFF -DPELLICOR_BUILD_BENCHMARKS=OFF -DPELLICOR_BUILD_FUZZERS=OFF \
    -DPELLICOR_WERROR=ON >/dev/null
  cmake --build "$host_build" -j"$jobs" --target lexiqon
  host_lexiqon="$host_build/tools/lexiqon/lexiqon"
fi

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
