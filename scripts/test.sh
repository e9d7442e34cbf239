#!/usr/bin/env bash
# Installs what is missing, builds the program and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default
# The same suite built with AddressSanitizer and UndefinedBehaviorSanitizer,
# then a short run of every fuzz target (FUZZ_SECONDS each).
./scripts/sanitize.sh
FUZZ_SECONDS="${FUZZ_SECONDS:-20}" ./scripts/fuzz.sh
# The Windows build, cross-compiled with MinGW-w64 and tested under Wine.
./scripts/test-windows.sh
