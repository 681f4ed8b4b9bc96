#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each in turn for SECONDS
# (default 60), then prints executions and coverage per target. The
# corpora grow in the work folder (CODEXA_FUZZ_WORK_DIR, by default in the
# build folder) from run to run; the committed seeds are only read. Inputs
# that crash or break a property land in <work>/<target>/artifacts, emptied
# at the start of each run, and make the script exit 1.
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
  # Findings of an earlier run must not fail this one, nor hide behind it.
  rm -rf "$dir/artifacts"
  mkdir -p "$dir/corpus" "$dir/artifacts"
  args=(-max_total_time="$SECONDS_EACH" -max_len="$(max_len "$target")" -timeout=10 -rss_limit_mb=2048
        -print_final_stats=1 -artifact_prefix="$dir/artifacts/")
  [ -f "$FUZZ/dicts/$target.dict" ] && args+=(-dict="$FUZZ/dicts/$target.dict")
  echo "== $target: ${SECONDS_EACH}s" >&2
  # New inputs go to the first folder only: the seeds stay as committed.
  status=0
  "$BUILD/bin/${target}_fuzzer" "${args[@]}" "$dir/corpus" "$FUZZ/seeds/$target" >"$dir/log" 2>&1 || status=$?
  # A fuzzer that stops on its seeds prints no coverage line: a grep that
  # finds nothing must not end the script before it reports the finding.
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -1)
  edges=$(sed -n 's/.*Loaded 1 modules *(\([0-9]*\) inline 8-bit counters).*/\1/p' "$dir/log" | head -1)
  cov=$({ grep -o 'cov: [0-9]*' "$dir/log" || true; } | tail -1 | cut -d' ' -f2)
  ft=$({ grep -o 'ft: [0-9]*' "$dir/log" || true; } | tail -1 | cut -d' ' -f2)
  found=$(find "$dir/artifacts" -type f | wc -l)
  # A fuzzer that stopped with an error but left no input (it could not
  # start, or ran out of memory outside an input) fails the run as well.
  if [ "$found" -ne 0 ] || [ "$status" -ne 0 ]; then
    failed=1
    echo "$target: exit status $status, $found input(s) found; the end of $dir/log:" >&2
    tail -n 30 "$dir/log" >&2
  fi
  rows+=("$(printf '%-10s %12s %8s %8s %8s %6s' "$target" "${execs:-?}" "${cov:-?}" "${edges:-?}" "${ft:-?}" "$found")")
done

printf '%-10s %12s %8s %8s %8s %6s\n' target executions cov edges features found
printf '%s\n' "${rows[@]}"
[ "$failed" -eq 0 ] || echo "inputs that failed are in $WORK/<target>/artifacts" >&2
exit "$failed"
