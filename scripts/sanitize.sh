#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and
# UndefinedBehaviorSanitizer (preset `sanitize`, g++) and runs it with leak
# checking on. The end-to-end tests start the program built here, so the
# program itself runs sanitized too. Any report fails the test that saw it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize
