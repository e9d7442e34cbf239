#!/usr/bin/env bash
# Renders the example shot the way a user would: builds vantleRender and
# the submit tool, lays out the example production tree in build/demo
# (made fresh on every run), and runs
#
#   vantleRender -s 1 -e 25 -j 10 -b 1 ../project/scenes/shot.ma
#
# from the empty working directory build/demo/work, with the example's
# submit header and the project's vantle_submit first on the search path.
# Then it shows what the run left behind. Exits with vantleRender's status.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

./scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vantleRender vantle_submit make_example

build="$root/build/default"
demo="$root/build/demo"
work="$demo/work"
rm -rf "$demo"
"$build/tools/make_example/make_example" "$root/examples" "$demo"
mkdir -p "$work"

export PATH="$build/tools/vantle_submit:$PATH"
export VANTLE_RENDER_PATH="$demo/vantle_render.hdr"

echo
echo "== In $work:"
echo "== vantleRender -s 1 -e 25 -j 10 -b 1 ../project/scenes/shot.ma"
echo
cd "$work"
status=0
"$build/vantleRender" -s 1 -e 25 -j 10 -b 1 ../project/scenes/shot.ma || status=$?

echo
echo "== vantleRender ended with status $status."
echo
echo "== The example: the project and a texture library outside it, in $demo"
(cd "$demo" && find project library -type f | sort | sed 's/^/   /')
echo
echo "== The working directory the jobs are sent from: $work"
ls -l "$work" | sed 's/^/   /'
if [[ -f "$work/vantle_render.sub" ]]; then
  echo
  echo "== $work/vantle_render.sub:"
  sed 's/^/   /' "$work/vantle_render.sub"
  echo
fi
exit "$status"
