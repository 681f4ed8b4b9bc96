#!/usr/bin/env bash
# Codexa side by side with SQLite FTS5, ripgrep, a naive scan and Xapian on
# the default corpus, in one run:
#   bench/compare/setup.sh [BUILD-DIR] [codexa_compare options...]
# Installs the other systems from Debian's packages, builds Codexa (release
# flags) with the comparison program, builds the default corpus when it is
# missing and runs the comparison, which also times a fresh build of the
# corpus.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:-$ROOT/build-compare}
shift || true
CACHE=$ROOT/.cache
SOURCE=$CACHE/chinese-poetry-2.0.1
PEERS=(sqlite3 libsqlite3-dev ripgrep libxapian-dev)

missing=()
for p in "${PEERS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ ! -d "$SOURCE" ]; then
  echo "the corpus source is missing: run ./dev.sh test (or run) once first" >&2
  exit 1
fi

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCODEXA_GUI=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target codexa-build codexa_compare
VARIANTS=()
[ -d "$CACHE/variants" ] && VARIANTS=(--variants "$CACHE/variants")
# Built when missing, and again when the builder is newer than the corpus
# (an older builder may have left out data the engine now reads).
if [ ! -f "$BUILD/bin/Index-idx.m" ] || [ "$BUILD/bin/codexa-build" -nt "$BUILD/bin/Index-idx.m" ]; then
  "$BUILD/bin/codexa-build" --default "${VARIANTS[@]}" "$SOURCE" "$BUILD/bin"
fi
# The peers' files (2.5 GB, most of it Xapian's) in memory where there is a
# tmpfs: Xapian builds in minutes there instead of tens of minutes on disk.
WORK=()
[ -d /dev/shm ] && WORK=(--work /dev/shm/codexa-compare)
exec "$BUILD/bin/codexa_compare" --corpus "$BUILD/bin" "${WORK[@]}" --builder "$BUILD/bin/codexa-build" --source "$SOURCE" \
  "${VARIANTS[@]}" "$@"
