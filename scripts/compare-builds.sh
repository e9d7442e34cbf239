#!/usr/bin/env bash
# Runs two builds of vantleRender over the same generated scene trees and
# compares everything each run leaves (standard output and error, the exit
# status, every file with its bytes, the submit description, the report,
# what the stand-in submit tool was given):
#
#   scripts/compare-builds.sh OLD_PROGRAM NEW_PROGRAM [COUNT] [--seed N] [--with-repeats] [--summary]
#
# COUNT trees (default 300), made from the seed (default 1). Prints one line
# per difference with the folder where the tree was kept, then "compared N
# trees, M differ"; exits 1 when any differ. --with-repeats also makes trees
# that reach a scene more than once (chains, diamonds, cycles); --summary
# counts what the trees exercised. The stand-in vantle_submit is the one in
# build/default (built when missing), or VANTLE_SUBMIT.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if (($# < 2)); then
  sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
  exit 2
fi
submit="${VANTLE_SUBMIT:-$root/build/default/tools/vantle_submit/vantle_submit}"
if [[ ! -x "$submit" ]]; then
  (cd "$root" && cmake --preset default >/dev/null && cmake --build --preset default --target vantle_submit >/dev/null)
fi
exec env PYTHONDONTWRITEBYTECODE=1 python3 "$root/scripts/compare_builds.py" --submit-tool "$submit" "$@"
