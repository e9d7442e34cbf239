#!/usr/bin/env bash
# check-windows-package.sh <release zip>
#
# Unpacks the Windows release zip into a clean Wine prefix made for the
# purpose (build/windows/package-test) and runs it there with nothing else
# beside it: vantleRender.exe without arguments prints its usage and ends
# with status 1, and a small scene is submitted through cmd.exe with the
# zip's own vantle_submit.exe on the search path and the zip's example
# submit header. Fails on any difference.
set -euo pipefail
# Wine, and all that it starts, without address space randomization: with
# it, Wine now and then fails to start ("failed to map the shared user
# data").
if [[ -z "${VANTLE_WINE_FIXED_LAYOUT:-}" ]] && setarch "$(uname -m)" -R true 2>/dev/null; then
  VANTLE_WINE_FIXED_LAYOUT=1 exec setarch "$(uname -m)" -R "$0" "$@"
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
zip="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"

test_dir="$root/build/windows/package-test"
export WINEPREFIX="$test_dir/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'WINEPREFIX="$test_dir/prefix" wineserver -k >/dev/null 2>&1 || true' EXIT
rm -rf "$test_dir"
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
drive_c="$WINEPREFIX/drive_c"

fail() {
  echo "check-windows-package: $*" >&2
  exit 1
}

# The zip holds one folder with the two programs, the README and the header.
(cd "$drive_c" && cmake -E tar xf "$zip")
folder_name="$(basename "$zip" .zip)"
folder="$drive_c/$folder_name"
listing="$(cd "$folder" && find . -type f | sort | tr '\n' ' ')"
[[ "$listing" == "./README.md ./vantleRender.exe ./vantle_render.hdr ./vantle_submit.exe " ]] ||
  fail "unexpected contents: $listing"
win_folder="C:\\$folder_name"

# No arguments: the usage, status 1.
status=0
out="$(cd "$drive_c" && wine "$win_folder\\vantleRender.exe" 2>&1)" || status=$?
[[ $status -eq 1 ]] || fail "vantleRender.exe without arguments ended with status $status: $out"
[[ "$out" == *"Usage: vantleRender -s <float>  -e <float> [-j <int>] [-b <float>]  mayafile"* ]] ||
  fail "no usage text: $out"

# A scene with a texture, from C:\shot\work.
mkdir -p "$drive_c/shot/scenes" "$drive_c/shot/sourceimages" "$drive_c/shot/work"
printf '//Maya ASCII 2024 scene\nsetAttr ".ftn" -type "string" "sourceimages/wood.tif";\n' >"$drive_c/shot/scenes/shot.ma"
printf 'wood' >"$drive_c/shot/sourceimages/wood.tif"
status=0
out="$(cd "$drive_c/shot/work" &&
  WINEPATH="$win_folder" VANTLE_RENDER_PATH="$win_folder\\vantle_render.hdr" \
    wine "$win_folder\\vantleRender.exe" -s 1 -e 25 'C:\shot\scenes\shot.ma' 2>&1 | tr -d '\r')" || status=$?
expected="Examining 'C:\\shot\\scenes\\shot.ma'.
File 'wood.tif' copied to current directory.

Texture Dependencies: 
	C:\\shot\\sourceimages\\wood.tif

File Dependencies: (None)


Calling vantle_submit:
vantle_submit: 3 jobs queued, 2 files to transfer.

Submitted jobs successfully. Have a nice day!"
[[ $status -eq 0 ]] || fail "the run ended with status $status: $out"
[[ "$out" == "$expected" ]] || fail "the run printed:
$out
instead of:
$expected"
cmp -s "$drive_c/shot/work/~shot.ma" - <<<'//Maya ASCII 2024 scene
setAttr ".ftn" -type "string" ("wood.tif");' || fail "~shot.ma is not the rewritten scene"
echo "check-windows-package: $folder_name.zip runs on its own in a clean prefix"
