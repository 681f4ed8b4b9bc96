#!/usr/bin/env bash
# The Debian packages, made by CPack as `./dev.sh deb` makes them but around
# the small corpus of tests/texts: both unpack (dpkg -x) into a scratch root
# where codexa-search, started by its link on the PATH, finds the corpus
# beside itself; the desktop files are in place; lintian finds no error.
#   package_test.sh BUILD-DIR CODEXA-BUILD
# shellcheck source=tests/scripts/harness.sh
source "$(dirname "$0")/harness.sh"
build_dir=$1 builder=$2
texts=$(cd "$(dirname "$0")/../texts" && pwd)

"$builder" --texts "$texts" "$work/corpus" >/dev/null
(cd "$build_dir" && CODEXA_CORPUS_DIR="$work/corpus" cpack -B "$work/packages") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; exit 1; }
program=$(ls "$work"/packages/codexa_*.deb)
data=$(ls "$work"/packages/codexa-data_*_all.deb)

# Fields dpkg-shlibdeps cannot find, and the data package's architecture.
[ "$(dpkg-deb -f "$data" Architecture)" = all ] || fail "codexa-data is not architecture all"
dpkg-deb -f "$program" Depends | grep -q "libqt6webenginecore6-bin" || fail "no web engine helper in Depends"
dpkg-deb -f "$program" Depends | grep -q "libqt6widgets6" || fail "no Qt libraries in Depends"
dpkg-deb -c "$program" | grep -q "Index" && fail "the program package holds corpus files"

dpkg -x "$program" "$work/root"
dpkg -x "$data" "$work/root"
for file in usr/lib/codexa/codexa usr/lib/codexa/codexa-build usr/lib/codexa/help.html usr/lib/codexa/splash.gif \
  usr/share/applications/codexa.desktop usr/share/metainfo/codexa.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/codexa.svg usr/share/icons/hicolor/256x256/apps/codexa.png \
  usr/share/doc/codexa/copyright usr/share/doc/codexa-data/copyright usr/lib/codexa/zemo.dir \
  usr/share/man/man1/codexa.1.gz usr/share/man/man1/codexa-build.1.gz usr/share/man/man1/codexa-search.1.gz; do
  [ -e "$work/root/$file" ] || fail "not unpacked: $file"
done
actual=$("$work/root/usr/bin/codexa-search" --scope 集部 明月 2>&1) || true
expected="集部	唐詩	1 五言絕句	1	3	2
全部で 1 頁で、2 箇所でした。"
[ "$actual" = "$expected" ] || fail "codexa-search from the unpacked package: got
$actual"

# Every option a program's --help lists is in its manual page too.
for tool in codexa-build codexa-search; do
  manual=$(zcat "$work/root/usr/share/man/man1/$tool.1.gz" | sed 's/\\-/-/g')
  for option in $("$work/root/usr/bin/$tool" --help | grep -o -- '--[a-z-]*' | sort -u); do
    grep -q -- "$option" <<<"$manual" || fail "the manual page of $tool lacks $option"
  done
done

command -v lintian >/dev/null || { echo "FAIL: lintian is not installed (tools/setup.sh installs it)" >&2; exit 1; }
lintian --fail-on error "$program" "$data" >"$work/lintian.log" 2>&1 || fail "lintian: $(cat "$work/lintian.log")"

finish
