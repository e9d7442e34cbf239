#!/usr/bin/env bash
# Renders the example project twice, as scripts/demo.sh does:
#
#   vantleRender -s 1 -e 25 -j 10 -b 1 ../project/scenes/shot.ma
#
# once with the Linux build (build/default) in a temp folder, once with the
# Windows build (build/windows) under Wine from C:\vantle-example\work in
# the build's own prefix, each example laid out by its own make_example.
# Both runs must leave the same files, byte for byte (the submit
# description, the rewritten scene copies, the staged textures), and print
# the same report apart from the paths in it. Builds what is missing.
set -euo pipefail
# Wine, and all that it starts, without address space randomization: with
# it, Wine now and then fails to start ("failed to map the shared user
# data").
if [[ -z "${VANTLE_WINE_FIXED_LAYOUT:-}" ]] && setarch "$(uname -m)" -R true 2>/dev/null; then
  VANTLE_WINE_FIXED_LAYOUT=1 exec setarch "$(uname -m)" -R "$0" "$@"
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

linux_build="$root/build/default"
windows_build="$root/build/windows"
cmake --preset default >/dev/null
cmake --build --preset default --target vantleRender vantle_submit make_example >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target vantleRender vantle_submit make_example >/dev/null

export WINEPREFIX="$windows_build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[[ -f "$WINEPREFIX/system.reg" ]] || wineboot -i >/dev/null 2>&1
winpath() { printf 'Z:%s' "${1//\//\\}"; }

scratch="$(mktemp -d)"
windows_example="$WINEPREFIX/drive_c/vantle-example"
trap 'rm -rf "$scratch" "$windows_example"' EXIT
arguments=(-s 1 -e 25 -j 10 -b 1 ../project/scenes/shot.ma)

# Linux
linux_example="$scratch/example"
"$linux_build/tools/make_example/make_example" examples "$linux_example"
mkdir -p "$linux_example/work"
(cd "$linux_example/work" &&
  PATH="$linux_build/tools/vantle_submit:$PATH" VANTLE_RENDER_PATH="$linux_example/vantle_render.hdr" \
    "$linux_build/vantleRender" "${arguments[@]}") >"$scratch/linux.out"

# Windows, from drive C:
rm -rf "$windows_example"
wine "$(winpath "$windows_build/tools/make_example/make_example.exe")" "$(winpath "$root/examples")" \
  'C:\vantle-example'
mkdir -p "$windows_example/work"
(cd "$windows_example/work" &&
  WINEPATH="$(winpath "$windows_build/tools/vantle_submit")" VANTLE_RENDER_PATH='C:\vantle-example\vantle_render.hdr' \
    wine "$(winpath "$windows_build/vantleRender.exe")" "${arguments[@]}") >"$scratch/windows.out"

# The files: the same names, the same bytes.
if ! diff -r "$linux_example/work" "$windows_example/work"; then
  echo "compare-example: the runs left different files" >&2
  exit 1
fi

# The report: the same once each example's folder reads <example> and the
# Windows console's CR LF reads LF.
linux_root="${linux_example//\//\\}"
sed "s|${linux_root//\\/\\\\}|<example>|g" "$scratch/linux.out" >"$scratch/linux.report"
tr -d '\r' <"$scratch/windows.out" | sed 's|C:\\vantle-example|<example>|g' >"$scratch/windows.report"
if ! diff "$scratch/linux.report" "$scratch/windows.report"; then
  echo "compare-example: the runs printed different reports" >&2
  exit 1
fi
count=$(find "$linux_example/work" -type f | wc -l)
echo "compare-example: Linux and Windows runs left the same $count files and the same report:"
sed 's/^/   /' "$scratch/windows.report"
