#!/usr/bin/env bash
# Builds the release packages into build/packages:
#
#   vantleRender-<version>-windows-x86_64.zip   (cross-compiled, static)
#   vantleRender-<version>-linux-x86_64.tar.gz
#
# each a folder with vantleRender, vantle_submit, the README and the
# example submit header (vantle_render.hdr). The zip is then tried in a
# clean Wine prefix, the tarball in a fresh folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

./scripts/install-deps.sh --windows
for preset in default windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target vantleRender vantle_submit
done
rm -f build/packages/vantleRender-*.zip build/packages/vantleRender-*.tar.gz
cpack --preset windows
cpack --preset default

./scripts/check-windows-package.sh build/packages/vantleRender-*-windows-x86_64.zip

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
tar -xzf build/packages/vantleRender-*-linux-*.tar.gz -C "$scratch"
status=0
"$scratch"/vantleRender-*/vantleRender >/dev/null || status=$?
if [[ $status -ne 1 ]]; then
  echo "package: the Linux vantleRender ended with status $status without arguments, not 1" >&2
  exit 1
fi
echo "package: $(cd "$scratch" && find . -type f | sort | tr '\n' ' ')"
ls -l build/packages/vantleRender-*
