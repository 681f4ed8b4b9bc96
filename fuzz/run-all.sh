#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each in turn for SECONDS
# (default 60), then prints executions and coverage per target. The
# corpora grow in the work folder from run to run; inputs that crash or
# break a property land in <work>/<target>/artifacts.
#   fuzz/run-all.sh SECONDS [TARGET...]
set -euo pipefail
cd "$(dirname "$0")"
FUZZ=$PWD
BUILD=${CODEXA_FUZZ_BUILD_DIR:-$FUZZ/../build-fuzz}
WORK=${CODEXA_FUZZ_WORK_DIR:-$BUILD/work}
SECONDS_EACH=${1:-60}
shift || true
TARGETS=("$@")

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$FUZZ" -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
# Quiet unless the build fails, and then with the compiler's messages.
if ! cmake --build "$BUILD" -j 2 >"$BUILD/build.log" 2>&1; then
  cat "$BUILD/build.log" >&2
  exit 1
fi
# By default every target the build defines, as it lists them.
if [ ${#TARGETS[@]} -eq 0 ]; then
  mapfile -t TARGETS <"$BUILD/fuzz-targets.txt"
fi
for target in "${TARGETS[@]}"; do
  [ -x "$BUILD/bin/${target}_fuzzer" ] || { echo "no fuzz target '$target' (known: $(paste -sd' ' "$BUILD/fuzz-targets.txt"))" >&2; exit 2; }
done

# The targets write their files for every input; a memory-backed folder
# makes that cheap.
[ -w /dev/shm ] && export TMPDIR=/dev/shm

max_len() { case $1 in index) echo 65536 ;; *) echo 8192 ;; esac; }

failed=0
rows=()
for target in "${TARGETS[@]}"; do
  dir=$WORK/$target
  mkdir -p "$dir/corpus" "$dir/artifacts"
  args=(-max_total_time="$SECONDS_EACH" -max_len="$(max_len "$target")" -timeout=10 -rss_limit_mb=2048
        -print_final_stats=1 -artifact_prefix="$dir/artifacts/")
  [ -f "$FUZZ/dicts/$target.dict" ] && args+=(-dict="$FUZZ/dicts/$target.dict")
  echo "== $target: ${SECONDS_EACH}s" >&2
  "$BUILD/bin/${target}_fuzzer" "${args[@]}" "$dir/corpus" "$FUZZ/seeds/$target" >"$dir/log" 2>&1 || true
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -1)
  edges=$(sed -n 's/.*Loaded 1 modules *(\([0-9]*\) inline 8-bit counters).*/\1/p' "$dir/log" | head -1)
  cov=$(grep -o 'cov: [0-9]*' "$dir/log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$dir/log" | tail -1 | cut -d' ' -f2)
  found=$(find "$dir/artifacts" -type f | wc -l)
  [ "$found" -eq 0 ] || failed=1
  rows+=("$(printf '%-10s %12s %8s %8s %8s %6s' "$target" "${execs:-?}" "${cov:-?}" "${edges:-?}" "${ft:-?}" "$found")")
done

printf '%-10s %12s %8s %8s %8s %6s\n' target executions cov edges features found
printf '%s\n' "${rows[@]}"
[ "$failed" -eq 0 ] || echo "inputs that failed are in $WORK/<target>/artifacts" >&2
exit "$failed"
