#!/usr/bin/env bash
# Builds the libFuzzer targets (preset `fuzz`, clang-14 with AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs each of them for a while.
#
#   scripts/fuzz.sh                 every target for FUZZ_SECONDS (default 30)
#   scripts/fuzz.sh scan_scene      one target
#   FUZZ_SECONDS=3600 FUZZ_JOBS=2 scripts/fuzz.sh token_reader
#   FUZZ_MAX_LEN=131072 scripts/fuzz.sh   inputs past the 40958-byte limits
#
# Inputs are kept short by default (FUZZ_MAX_LEN=4096), which is where the
# executions are cheap; scenes with statements and tokens at and past their
# length limits join the seeds only when FUZZ_MAX_LEN lets them in.
#
# Each target keeps its corpus in build/fuzz/corpus/<target>, seeded from
# fuzz/seeds, the example project and a few binary scenes made here (each
# reader of files that name files from the seeds of its own format alone).
# A finding stops the run with libFuzzer's report and the crashing input in
# build/fuzz/findings/; the script then fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

seconds="${FUZZ_SECONDS:-30}"
jobs="${FUZZ_JOBS:-1}"
max_len="${FUZZ_MAX_LEN:-4096}"
all=(statement_reader token_reader ascii_recognisers binary_recognisers binary_structure scene_plans scan_scene usda_reader ass_reader mtlx_reader xgen_reader gzip)
targets=("$@")
((${#targets[@]})) || targets=("${all[@]}")

./scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

build="$root/build/fuzz"
seeds="$build/seeds"
rm -rf "$seeds"
mkdir -p "$seeds/scenes" "$seeds/statements" "$seeds/layers" "$seeds/ass" "$seeds/mtlx" "$seeds/xgen" "$seeds/gzip" "$build/findings"

# Scenes: the text seeds, the example project and binary scenes shaped like
# the end-to-end fixtures.
cp fuzz/seeds/*.ma examples/project/scenes/*.ma "$seeds/scenes/"
cp fuzz/seeds/*.usda "$seeds/layers/"
# Arnold scene files, for their reader.
cp fuzz/seeds/*.ass "$seeds/ass/"
# MaterialX documents, for theirs.
cp fuzz/seeds/*.mtlx "$seeds/mtlx/"
# XGen collection files, for theirs.
cp fuzz/seeds/*.xgen "$seeds/xgen/"
# Gzip files, one member and two, and files to compress, for gzip in memory.
for file in fuzz/seeds/*.ass fuzz/seeds/*.mtlx; do
  cp "$file" "$seeds/gzip/"
  gzip -n -c "$file" >"$seeds/gzip/$(basename "$file").gz"
done
cat "$seeds"/gzip/*.ass.gz >"$seeds/gzip/members.gz"
printf 'FOR4\0\0\0\060MayaFREFFREF\0\0\016scenes/set.ma\0\001\002\376DAG\0' >"$seeds/scenes/reference.mb"
printf 'FOR4\0\0\0\040ftn\0C:/tex/wood.tif\0\377xftn\0ball.tif \0ab\0' >"$seeds/scenes/texture.mb"
printf 'xFREFFREFftn\0dir/\0softness.mb\0FREFFREF' >"$seeds/scenes/markers.mb"
printf '12abc\0q\0ab\0\177Maya\200./sourceimages/a.tif' >"$seeds/scenes/runs.mb"
# Well-formed Maya binary scenes of both widths, sizes and padding right:
# a HEAD with PLUG, references (one without folder, which grows), file
# nodes, a cacheFile node, a node and an attribute whose names hold "ftn",
# connections.
be() { local i; for ((i = $2 - 1; i >= 0; i--)); do printf "\\$(printf %03o $((($1 >> (8 * i)) & 255)))"; done; }
# chunk TAG WIDTH, data on stdin; group KIND FORM WIDTH, children on stdin.
chunk() {
  local data n; data="$(cat | od -An -v -tx1 | tr -d ' \n')"; n=$((${#data} / 2))
  printf %s "$1"; (($2 == 8)) && printf '\0\0\0\0'; be "$n" "$2"
  printf "$(sed 's/../\\x&/g' <<<"$data")"; head -c $((($2 - n % $2) % $2)) /dev/zero
}
group() { local body; body="$(cat | od -An -v -tx1 | tr -d ' \n')"; printf %s "$1"; (($3 == 8)) && printf '\0\0\0\0'
  be $((${#body} / 2 + 4)) "$3"; printf %s "$2"; printf "$(sed 's/../\\x&/g' <<<"$body")"; }
maya_scene() {
  local w=$1
  group FOR$w Maya "$w" < <(
    group FOR$w HEAD "$w" < <(printf '2024\0' | chunk VERS "$w"; printf 'mtoa\0%s\0aiImage\0\0\021\135\027' 5.0 | chunk PLUG "$w")
    for path in ball.mb ./cache/anim.abc '\\server\proj\scenes\set.mb'; do
      group FOR$w FRDI "$w" < <(printf '\0\0\0\001%s\0' "$path" | chunk FRDI "$w")
      group FOR$w FREF "$w" < <(printf '%s\0ns\0\001\002nsRN\0\0\0' "$path" | chunk FREF "$w")
    done
    group FOR$w RTFT "$w" < <(printf '\0wood\0' | chunk CREA "$w"; printf 'ftn\0\001$LIB/wood.tif\0' | chunk 'STR ' "$w")
    group FOR$w CCHF "$w" < <(printf '\0cacheFile1\0' | chunk CREA "$w"; printf 'cn\0\001shape1\0' | chunk 'STR ' "$w"
      printf 'cp\0\001D:/sim/nCache/\0' | chunk 'STR ' "$w"; printf 'ss\0\001\100\044\0\0\0\0\0\0' | chunk DBLE "$w")
    group FOR$w XFRM "$w" < <(printf '\001leftnostril_ctrl\0head_grp\0' | chunk CREA "$w"
      printf 'softness\0\0maps/soft.tif\0' | chunk 'STR ' "$w")
    group LIS$w CONS "$w" < <(printf 'wood.ftn\0x\0' | chunk CONN "$w"))
}
maya_scene 4 >"$seeds/scenes/maya4.mb"
maya_scene 8 >"$seeds/scenes/maya8.mb"
# Statements and tokens at and past their length limits.
if ((max_len > 40960)); then
letters() { head -c "$1" /dev/zero | tr '\0' "$2"; }
{ printf '//Maya ASCII\n'; letters 40957 x; printf ';\n'; } >"$seeds/scenes/statement_at_limit.ma"
{ printf '//Maya ASCII\nsetAttr ".ftn" -type "string" "'; letters 41000 a; printf '";\n'; } >"$seeds/scenes/long_texture.ma"
{ printf 'FREFFREF\0'; letters 40958 b; printf '\0ftn\0'; letters 40957 c; } >"$seeds/scenes/long_tokens.mb"
fi

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

# The targets work in a folder of their own under $TMPDIR (in memory where
# /dev/shm is there); with several jobs libFuzzer leaves their logs there.
scratch_root="${TMPDIR:-/tmp}"
[[ -w /dev/shm ]] && scratch_root=/dev/shm
failed=0
for target in "${targets[@]}"; do
  status=0
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  case "$target" in
    ascii_recognisers) seed="$seeds/statements" ;;
    usda_reader) seed="$seeds/layers" ;;
    ass_reader) seed="$seeds/ass" ;;
    mtlx_reader) seed="$seeds/mtlx" ;;
    xgen_reader) seed="$seeds/xgen" ;;
    gzip) seed="$seeds/gzip" ;;
    *) seed="$seeds/scenes" ;;
  esac
  echo "== fuzz_$target for ${seconds}s"
  log="$build/findings/$target.log"
  options=(-max_total_time="$seconds" -max_len="$max_len" -timeout=30 -rss_limit_mb=4096 -print_final_stats=1
           -artifact_prefix="$build/findings/$target-")
  # With several jobs libFuzzer runs each in a child that logs to fuzz-N.log.
  if ((jobs > 1)); then options+=(-jobs="$jobs" -workers="$jobs"); fi
  scratch="$(mktemp -d "$scratch_root/vantle-fuzz-run.XXXXXX")"
  if ! (cd "$build/findings" && TMPDIR="$scratch" "$build/fuzz/fuzz_$target" "$corpus" "$seed" "${options[@]}") \
      >"$log" 2>&1; then
    status=1
  fi
  if ((jobs > 1)); then cat "$scratch"/*/fuzz-*.log >>"$log" 2>/dev/null || true; fi
  rm -rf "$scratch"
  if grep -qE '^==[0-9]+==ERROR|invariant broken|^SUMMARY: ' "$log"; then status=1; fi
  if ((status)); then
    echo "fuzz_$target found a fault:"
    grep -E -A 30 '^==[0-9]+==ERROR|invariant broken' "$log" | head -n 60 || tail -n 60 "$log"
  fi
  executions=$(awk '/^stat::number_of_executed_units/ {n += $2} END {print n + 0}' "$log")
  coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' "$log" | tail -n 1 || true)
  echo "fuzz_$target: $executions executions; $coverage"
  failed=$((failed + status))
done
echo "fuzz: $((${#targets[@]} - failed)) passed, $failed failed"
((failed == 0))
