#!/usr/bin/env bash
# Builds the Windows (x86_64-w64-mingw32) Boost and TinyXML the launcher
# links, from Debian's own source packages, into a cache that later runs
# reuse:
#
#   scripts/windows-deps.sh [CACHE]      (default: build/windows-deps)
#
# CACHE/prefix/{include,lib} is what cmake/toolchain-mingw64.cmake looks in.
# The sources come through a private apt configuration under CACHE/apt (its
# own sources.list with one deb-src line for this machine's Debian suite, its
# own state and cache folders); the machine's apt sources are never touched.
# CACHE/prefix/stamp names the source versions and the compiler; a cache whose
# stamp matches is taken as it is, without asking the network.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache="$(mkdir -p "${1:-$root/build/windows-deps}" && cd "${1:-$root/build/windows-deps}" && pwd)"
prefix="$cache/prefix"
jobs="${PELLICOR_JOBS:-2}"
cxx="${MINGW_CXX:-x86_64-w64-mingw32-g++-posix}"
host=x86_64-w64-mingw32

# Bumped whenever what this script builds changes.
recipe=1
boost_package=boost1.74
tinyxml_package=tinyxml

log() { echo "windows-deps: $*" >&2; }

source "$root/scripts/lib/packages.sh"

compiler_version() { "$cxx" -dumpfullversion 2>/dev/null || "$cxx" -dumpversion; }

stamp_text() {
  printf 'recipe %s\ncompiler %s %s\n%s %s\n%s %s\n' "$recipe" "$cxx" "$(compiler_version)" \
    "$boost_package" "$1" "$tinyxml_package" "$2"
}

# A cache built by this recipe with this compiler needs no network at all.
if [[ -f "$prefix/stamp" ]] && command -v "$cxx" >/dev/null 2>&1; then
  boost_built=$(awk -v p="$boost_package" '$1 == p { print $2 }' "$prefix/stamp")
  tinyxml_built=$(awk -v p="$tinyxml_package" '$1 == p { print $2 }' "$prefix/stamp")
  if [[ "$(stamp_text "$boost_built" "$tinyxml_built")" == "$(cat "$prefix/stamp")" ]]; then
    log "cache up to date ($prefix)"
    exit 0
  fi
fi

ensure_packages windows-deps dpkg-dev xz-utils g++ bison g++-mingw-w64-x86-64-posix debian-archive-keyring ca-certificates

# --- The private apt configuration -------------------------------------------
# The mirror and suite of this machine's own Debian sources.
machine_suite() {
  # shellcheck disable=SC1091
  (. /etc/os-release && echo "${VERSION_CODENAME:-}")
}
machine_mirror() {
  local uri=""
  if compgen -G '/etc/apt/sources.list.d/*.sources' >/dev/null; then
    uri=$(awk 'tolower($1) == "uris:" && $2 ~ /debian\/?$/ { print $2; exit }' \
      /etc/apt/sources.list.d/*.sources)
  fi
  if [[ -z "$uri" && -f /etc/apt/sources.list ]]; then
    uri=$(awk '$1 == "deb" { for (i = 2; i <= NF; ++i) if ($i !~ /^\[/ && $i ~ /debian\/?$/) { print $i; exit } }' \
      /etc/apt/sources.list)
  fi
  echo "${uri:-http://deb.debian.org/debian}"
}

apt_dir="$cache/apt"
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/state/lists/partial" "$apt_dir/cache/archives/partial" \
  "$apt_dir/preferences.d"
suite="$(machine_suite)"
if [[ -z "$suite" ]]; then
  echo "windows-deps: no VERSION_CODENAME in /etc/os-release" >&2
  exit 1
fi
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
echo "deb-src [signed-by=$keyring] $(machine_mirror) $suite main" >"$apt_dir/sources.list"
apt_options=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::Etc::PreferencesParts=$apt_dir/preferences.d"
  -o "Dir::State=$apt_dir/state"
  -o "Dir::Cache=$apt_dir/cache"
  -o "APT::Sandbox::User=root"
)

log "source index for $suite from $(machine_mirror)"
apt-get "${apt_options[@]}" -qq update

source_version() {
  apt-cache "${apt_options[@]}" showsrc "$1" |
    awk -v p="$1" '$1 == "Package:" { ok = ($2 == p) } ok && $1 == "Version:" && !v { v = $2 } END { print v }'
}
boost_version="$(source_version "$boost_package")"
tinyxml_version="$(source_version "$tinyxml_package")"
if [[ -z "$boost_version" || -z "$tinyxml_version" ]]; then
  echo "windows-deps: source packages $boost_package / $tinyxml_package not found in $suite" >&2
  exit 1
fi

# apt-get source unpacks with Debian's patches applied.
src="$cache/src"
fetch_source() {
  local package=$1 version=$2 upstream dir
  upstream="${version#*:}"
  upstream="${upstream%-*}"
  dir="$src/$package-$upstream"
  if [[ ! -f "$dir/.unpacked-$version" ]]; then
    rm -rf "$dir"
    mkdir -p "$src"
    log "fetching $package $version"
    (cd "$src" && apt-get "${apt_options[@]}" -qq source "$package=$version" >/dev/null)
    touch "$dir/.unpacked-$version"
  fi
  echo "$dir"
}
boost_src="$(fetch_source "$boost_package" "$boost_version")"
tinyxml_src="$(fetch_source "$tinyxml_package" "$tinyxml_version")"

rm -rf "$prefix"
mkdir -p "$prefix/include" "$prefix/lib"

# --- Boost: the four libraries we use, static, for Windows ---------------------
log "building Boost $boost_version (filesystem regex system thread) with $cxx"
(
  cd "$boost_src"
  if [[ ! -x ./b2 ]]; then
    # Debian's source leaves the engine's grammar to bison, as its rules do.
    (cd tools/build && bison -y -d -o src/engine/jamgram.cpp src/engine/jamgram.y)
    ./bootstrap.sh --with-toolset=gcc >"$cache/boost-bootstrap.log" 2>&1 ||
      { cat "$cache/boost-bootstrap.log" >&2; exit 1; }
  fi
  echo "using gcc : mingw : $cxx ;" >"$cache/user-config.jam"
  ./b2 -j"$jobs" -q -d0 --user-config="$cache/user-config.jam" \
    --build-dir="$cache/boost-build" --prefix="$prefix" --layout=system \
    toolset=gcc-mingw target-os=windows threadapi=win32 architecture=x86 address-model=64 \
    variant=release link=static runtime-link=shared threading=multi \
    --with-filesystem --with-regex --with-system --with-thread \
    install >"$cache/boost-build.log" 2>&1 || { tail -40 "$cache/boost-build.log" >&2; exit 1; }
)

# --- TinyXML, static, with its STL interface ------------------------------------
log "building TinyXML $tinyxml_version with $cxx"
tinyxml_build="$cache/tinyxml-build"
rm -rf "$tinyxml_build"
mkdir -p "$tinyxml_build"
for unit in tinyxml tinystr tinyxmlerror tinyxmlparser; do
  "$cxx" -O2 -DTIXML_USE_STL -c "$tinyxml_src/$unit.cpp" -o "$tinyxml_build/$unit.o"
done
"$host-ar" rcs "$prefix/lib/libtinyxml.a" "$tinyxml_build"/*.o
cp "$tinyxml_src/tinyxml.h" "$tinyxml_src/tinystr.h" "$prefix/include/"

stamp_text "$boost_version" "$tinyxml_version" >"$prefix/stamp"
log "done: $prefix"
cat "$prefix/stamp"
