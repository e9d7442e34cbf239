#!/usr/bin/env bash
# Installs, on a Debian machine, whatever the build and the tests need and
# the machine lacks. Safe to run again: it installs nothing when all is there.
set -euo pipefail

packages=(g++ cmake make libgtest-dev libgmock-dev)
# Header-only JSON for the run report, used by the Linux and Windows builds.
packages+=(nlohmann-json3-dev)
# The generator and comparison of scripts/compare-builds.sh.
packages+=(python3)
# mkfs.xfs, for the test that stages textures on a copy-on-write file system.
packages+=(xfsprogs)
# libFuzzer and the sanitizers' runtimes for scripts/fuzz.sh.
packages+=(clang-14 libclang-rt-14-dev)
# With --windows, what the Windows build and its tests under Wine need as
# well (scripts/test-windows.sh): the MinGW-w64 cross compiler and its
# binutils, Wine, and GoogleTest's sources to build with the cross compiler.
if [[ "${1:-}" == "--windows" ]]; then
  packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 googletest)
fi
need=()
for pkg in "${packages[@]}"; do
  dpkg -s "$pkg" >/dev/null 2>&1 || need+=("$pkg")
done
if ((${#need[@]})); then
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${need[@]}"
fi
