#!/usr/bin/env bash
# Builds the libFuzzer targets (preset `fuzz`, clang-14 with AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs each of them for a while.
#
#   scripts/fuzz.sh                 every target for FUZZ_SECONDS (default 30)
#   scripts/fuzz.sh scan_scene      one target
#   FUZZ_SECONDS=3600 FUZZ_JOBS=2 scripts/fuzz.sh token_reader
#
# Each target keeps its corpus in build/fuzz/corpus/<target>, seeded from
# fuzz/seeds, the example project and a few binary scenes made here. A
# finding stops the run with libFuzzer's report and the crashing input in
# build/fuzz/findings/; the script then fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

seconds="${FUZZ_SECONDS:-30}"
jobs="${FUZZ_JOBS:-1}"
all=(statement_reader token_reader ascii_recognisers binary_recognisers scan_scene)
targets=("$@")
((${#targets[@]})) || targets=("${all[@]}")

./scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

build="$root/build/fuzz"
seeds="$build/seeds"
rm -rf "$seeds"
mkdir -p "$seeds/scenes" "$seeds/statements" "$build/findings"

# Scenes: the text seeds, the example project and binary scenes shaped like
# the end-to-end fixtures.
cp fuzz/seeds/*.ma examples/project/scenes/*.ma "$seeds/scenes/"
printf 'FOR4\0\0\0\060MayaFREFFREF\0\0\016scenes/set.ma\0\001\002\376DAG\0' >"$seeds/scenes/reference.mb"
printf 'FOR4\0\0\0\040ftn\0C:/tex/wood.tif\0\377xftn\0ball.tif \0ab\0' >"$seeds/scenes/texture.mb"
printf 'xFREFFREFftn\0dir/\0softness.mb\0FREFFREF' >"$seeds/scenes/markers.mb"
printf '12abc\0q\0ab\0\177Maya\200./sourceimages/a.tif' >"$seeds/scenes/runs.mb"
# Statements and tokens at and past their length limits.
letters() { head -c "$1" /dev/zero | tr '\0' "$2"; }
{ printf '//Maya ASCII\n'; letters 40957 x; printf ';\n'; } >"$seeds/scenes/statement_at_limit.ma"
{ printf '//Maya ASCII\nsetAttr ".ftn" -type "string" "'; letters 41000 a; printf '";\n'; } >"$seeds/scenes/long_texture.ma"
{ printf 'FREFFREF\0'; letters 40958 b; printf '\0ftn\0'; letters 40957 c; } >"$seeds/scenes/long_tokens.mb"

# Statements for the recogniser target: a mode byte, then one statement.
n=0
for scene in "$seeds"/scenes/*.ma; do
  while IFS= read -r line; do
    case "$line" in
      *"file -r "*|*'setAttr ".ftn"'*) ;;
      *) continue ;;
    esac
    for mode in 0 1 2; do
      printf '%s%s\n' "$mode" "$line" >"$seeds/statements/$n-$mode"
    done
    n=$((n + 1))
  done <"$scene"
done

status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  case "$target" in
    ascii_recognisers) seed="$seeds/statements" ;;
    *) seed="$seeds/scenes" ;;
  esac
  echo "== fuzz_$target for ${seconds}s"
  log="$build/findings/$target.log"
  if ! (cd "$build/findings" && "$build/fuzz/fuzz_$target" "$corpus" "$seed" \
        -max_total_time="$seconds" -max_len=131072 -timeout=30 -rss_limit_mb=4096 \
        -print_final_stats=1 -jobs="$jobs" -workers="$jobs" \
        -artifact_prefix="$build/findings/$target-") >"$log" 2>&1; then
    status=1
    echo "fuzz_$target found a fault:"
    tail -n 60 "$log"
  fi
  if ((jobs > 1)); then cat "$build"/findings/fuzz-*.log >>"$log" 2>/dev/null || true; rm -f "$build"/findings/fuzz-*.log; fi
  grep -E '^stat::number_of_executed_units|^stat::new_units_added|^#[0-9]+ *DONE' "$log" | tail -n 3 || true
done
exit "$status"
