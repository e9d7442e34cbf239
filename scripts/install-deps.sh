#!/usr/bin/env bash
# Installs, on a Debian machine, whatever the build and the tests need and
# the machine lacks. Safe to run again: it installs nothing when all is there.
set -euo pipefail

packages=(g++ cmake make libgtest-dev libgmock-dev)
# Header-only JSON for the run report, used by the Linux and Windows builds.
packages+=(nlohmann-json3-dev)
# zlib for gzip-compressed files, and pugixml, the XML parser that reads
# MaterialX documents.
packages+=(zlib1g-dev libpugixml-dev)
# The generator and comparison of scripts/compare-builds.sh.
packages+=(python3)
# mkfs.xfs, for the test that stages textures on a copy-on-write file system.
packages+=(xfsprogs)
# libFuzzer and the sanitizers' runtimes for scripts/fuzz.sh.
packages+=(clang-14 libclang-rt-14-dev)
# With --windows, what the Windows build and its tests under Wine need as
# well (scripts/test-windows.sh): the MinGW-w64 cross compiler and its
# binutils, Wine, GoogleTest's sources to build with the cross compiler,
# zlib built for MinGW-w64, and curl for pugixml's source (below).
windows=false
if [[ "${1:-}" == "--windows" ]]; then
  windows=true
  packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 googletest libz-mingw-w64-dev)
  packages+=(curl ca-certificates)
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

# Debian packages pugixml for Linux only, so the Windows build compiles the
# same version from its source: Debian's own tarball of it (the one
# libpugixml-dev is built from, checked against the sha256 its .dsc lists),
# unpacked where the windows preset's VANTLE_PUGIXML_SOURCE_DIR looks.
# Keep the version here, in CMakePresets.json and Debian's libpugixml-dev
# the same, so both builds parse XML with the same code.
pugixml_version=1.13
pugixml_tarball="pugixml_${pugixml_version}.orig.tar.gz"
pugixml_sha256=5c5ad5d7caeb791420408042a7d88c2c6180781bf218feca259fd9d840a888e1
pugixml_dir="/usr/local/src/pugixml-${pugixml_version}"
if $windows && [[ ! -f "$pugixml_dir/src/pugixml.cpp" ]]; then
  download="$(mktemp -d)"
  trap 'rm -rf "$download"' EXIT
  curl -fsSL --retry 3 -o "$download/$pugixml_tarball" \
    "https://deb.debian.org/debian/pool/main/p/pugixml/$pugixml_tarball"
  echo "$pugixml_sha256  $download/$pugixml_tarball" | sha256sum --check --quiet
  tar -xzf "$download/$pugixml_tarball" -C "$download"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" mkdir -p "$(dirname "$pugixml_dir")"
  "${sudo_cmd[@]}" rm -rf "$pugixml_dir.partial"
  "${sudo_cmd[@]}" cp -R "$download/pugixml-${pugixml_version}" "$pugixml_dir.partial"
  "${sudo_cmd[@]}" mv "$pugixml_dir.partial" "$pugixml_dir"
fi
