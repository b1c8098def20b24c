#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# As root it runs apt-get; otherwise it prints the command to run.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libboost-filesystem-dev libboost-regex-dev libboost-system-dev libboost-thread-dev
  libtinyxml-dev libgtest-dev libgmock-dev libbenchmark-dev
  libdw-dev
  g++-mingw-w64-x86-64
  clang libclang-rt-14-dev
  hyperfine gettext elfutils time
  libcli11-dev scdoc man-db bash-completion vmtouch jq libgettextpo-dev
)

source "$(dirname "${BASH_SOURCE[0]}")/lib/packages.sh"
ensure_packages bootstrap "${packages[@]}"
