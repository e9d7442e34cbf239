#!/usr/bin/env bash
# The Windows build, tested for real under Wine:
#
#   1. installs what is missing (the MinGW-w64 cross compiler, Wine,
#      GoogleTest's sources), configures and builds the windows preset;
#   2. makes the build's own Wine prefix (build/windows/wineprefix) with
#      wineboot, once per run; no test touches the user's own prefix;
#   3. runs the test suite under Wine (ctest --preset windows; the slow
#      tests are left to ctest --preset windows-slow);
#   4. packs the release zip and runs it, unpacked into a clean prefix,
#      with no other file beside it;
#   5. renders the example project with the Windows build from C: and with
#      the Linux build, and compares what the two runs leave behind.
set -euo pipefail
# Wine, and all that it starts, without address space randomization: with
# it, Wine now and then fails to start ("failed to map the shared user
# data").
if [[ -z "${VANTLE_WINE_FIXED_LAYOUT:-}" ]] && setarch "$(uname -m)" -R true 2>/dev/null; then
  VANTLE_WINE_FIXED_LAYOUT=1 exec setarch "$(uname -m)" -R "$0" "$@"
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
started=$SECONDS

./scripts/install-deps.sh --windows
cmake --preset windows >/dev/null

build="$root/build/windows"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The prefix's server is ours; it goes with this script.
trap 'WINEPREFIX="$build/wineprefix" wineserver -k >/dev/null 2>&1 || true' EXIT
echo "== wineboot: $WINEPREFIX"
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
# Keep one server for the whole run (Debian's quits with its last program).
wineserver -p60 >/dev/null 2>&1 || true

cmake --build --preset windows
ctest --preset windows

echo
echo "== release zip"
rm -f build/packages/vantleRender-*-windows-*.zip
cpack --preset windows >/dev/null
./scripts/check-windows-package.sh build/packages/vantleRender-*-windows-x86_64.zip

echo
echo "== the example project, Windows beside Linux"
./scripts/compare-example.sh

echo
echo "== Windows suite done in $((SECONDS - started)) s"
