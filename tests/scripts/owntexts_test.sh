#!/usr/bin/env bash
# The example folder of one's own texts (tests/texts, shown in the README)
# built with codexa-build --texts and searched with codexa-search, as a user
# would; then a file that is not UTF-8 stops a rebuild, which names it and
# leaves the corpus as it was.
#   owntexts_test.sh CODEXA-BUILD CODEXA-SEARCH
# shellcheck source=tests/scripts/harness.sh
source "$(dirname "$0")/harness.sh"
build=$1 search=$2
texts=$(cd "$(dirname "$0")/../texts" && pwd)

"$build" --texts "$texts" "$work/corpus" >"$work/build.log" 2>&1 || fail "the build failed: $(cat "$work/build.log")"
grep -q "^Read 4 text files" "$work/build.log" || fail "no files read: $(cat "$work/build.log")"
grep -q "^Built 5 pages" "$work/build.log" || fail "not 5 pages: $(cat "$work/build.log")"

# expect "QUERY ARGS..." EXPECTED: codexa-search's output on the corpus.
expect() {
  local expected=$1 actual
  shift
  actual=$("$search" --corpus "$work/corpus" "$@" 2>&1) || true
  [ "$actual" = "$expected" ] || fail "codexa-search $*: got
$actual
expected
$expected"
}
tab=$'\t'
# Main text, across the volumes of a work and on the second page of one.
expect "集部${tab}唐詩${tab}1 五言絕句${tab}1${tab}3${tab}2
全部で 1 頁で、2 箇所でした。" --scope 集部 明月
expect "經部${tab}論語${tab}02 為政${tab}2${tab}2${tab}4
全部で 1 頁で、4 箇所でした。" --scope '經部\論語\02 為政' 可知
# Bracketed text is annotation: found in the full text and the annotations,
# not in the main text.
expect "集部${tab}唐詩${tab}1 五言絕句${tab}1${tab}3${tab}1
集部${tab}唐詩${tab}2 七言絕句${tab}1${tab}4${tab}1
全部で 2 頁で、2 箇所でした。" --scope 集部 --target notes 李白
expect "全部で 0 頁で、0 箇所でした。" --scope 集部 --target main 李白
expect "經部${tab}論語${tab}01 學而${tab}1${tab}0${tab}1
全部で 1 頁で、1 箇所でした。" --target full 音悅

# Variant groups taken from a corpus folder's table: 国 finds 國.
mkdir "$work/groups"
printf '570B,56FD\n' >"$work/groups/yitizi.txt"
"$build" --texts --variants "$work/groups" "$texts" "$work/folded" >"$work/folded.log" 2>&1 ||
  fail "the build with variants failed: $(cat "$work/folded.log")"
grep -q " 1 variant groups in " "$work/folded.log" || fail "no group taken: $(cat "$work/folded.log")"
expect "經部${tab}論語${tab}01 學而${tab}1${tab}0${tab}1
全部で 1 頁で、1 箇所でした。" --corpus "$work/folded" 千乘之国
expect "全部で 0 頁で、0 箇所でした。" --corpus "$work/folded" --no-variants 千乘之国

# A rebuild with a file in another encoding fails and changes nothing.
cp -r "$texts" "$work/texts"
printf '\xb4\xb2\xc7\xb0\xc3\xf7\xd4\xc2\xb9\xe2\n' >"$work/texts/集部/唐詩/3 GBK.txt"
before=$(cat "$work/corpus"/* | md5sum)
if "$build" --texts "$work/texts" "$work/corpus" >"$work/bad.log" 2>&1; then fail "a GBK file was built"; fi
grep -q "集部/唐詩/3 GBK.txt is not UTF-8 (line 1, byte 1)" "$work/bad.log" || fail "no clear error: $(cat "$work/bad.log")"
grep -q "is as it was" "$work/bad.log" || fail "no word on the corpus: $(cat "$work/bad.log")"
[ "$(cat "$work/corpus"/* | md5sum)" = "$before" ] || fail "the corpus changed"
[ -z "$(find "$work/corpus" -name '.codexa-build*')" ] || fail "a temporary folder was left"

finish
