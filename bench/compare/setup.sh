#!/usr/bin/env bash
# Codexa side by side with SQLite FTS5, ripgrep, a naive scan and Xapian on
# the default corpus, in one run:
#   bench/compare/setup.sh [BUILD-DIR] [codexa_compare options...]
# Installs the other systems (and what Codexa's build lacks) from Debian's
# packages, builds Codexa (release flags) with the comparison program,
# builds the default corpus when it is missing and runs the comparison,
# which also times a fresh build of the corpus.
set -euo pipefail
# The package list and the corpus pin shared with dev.sh; sets ROOT, CACHE
# and POETRY_SOURCE.
# shellcheck source=tools/setup.sh
source "$(dirname "$0")/../../tools/setup.sh"
BUILD=${1:-$ROOT/build-compare}
shift || true
# The other systems besides SQLite, which Codexa's own build needs too.
PEERS=(ripgrep libxapian-dev)

install_packages "${PACKAGES[@]}" "${PEERS[@]}"
# Unpacked and checked against its pin by dev.sh.
if [ ! -f "$POETRY_SOURCE/.verified" ]; then
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
  "$BUILD/bin/codexa-build" --default "${VARIANTS[@]}" "$POETRY_SOURCE" "$BUILD/bin"
fi
# The peers' files (2.5 GB, most of it Xapian's) in memory where there is a
# tmpfs: Xapian builds in minutes there instead of tens of minutes on disk.
WORK=()
[ -d /dev/shm ] && WORK=(--work /dev/shm/codexa-compare)
exec "$BUILD/bin/codexa_compare" --corpus "$BUILD/bin" "${WORK[@]}" --builder "$BUILD/bin/codexa-build" --source "$POETRY_SOURCE" \
  "${VARIANTS[@]}" "$@"
