#!/usr/bin/env bash
# The shared set-up functions of tools/setup.sh on a small package of our
# own: a tarball whose hash matches is unpacked once and then trusted, one
# that differs stops the set-up and is thrown away, a missing one is fetched
# by version; and install_packages asks apt only for what is missing.
# Nothing here reaches the network: npm, apt-get and dpkg-query are stand-ins.
set -euo pipefail
SETUP=$(cd "$(dirname "$0")/../.." && pwd)/tools/setup.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The real pin: a whole sha512 in npm's form, so that a truncated or
# mistyped paste stops here rather than on every machine that fetches.
# shellcheck source=tools/setup.sh
source "$SETUP"
[[ $POETRY_INTEGRITY =~ ^sha512-[A-Za-z0-9+/]{86}==$ ]] || fail "POETRY_INTEGRITY is not a sha512: $POETRY_INTEGRITY"

# The fixture: what npm pack makes, a gzipped tar with one folder "package".
mkdir -p "$work/fixture/package"
echo '{"name": "fixture"}' >"$work/fixture/package/package.json"
tar -czf "$work/good.tgz" -C "$work/fixture" package
cp "$work/good.tgz" "$work/bad.tgz"
printf 'X' | dd of="$work/bad.tgz" bs=1 seek=20 conv=notrunc 2>/dev/null
integrity="sha512-$(openssl dgst -sha512 -binary "$work/good.tgz" | base64 -w0)"

# fetch CASE TARBALL PREPARED: runs fetch_poetry as the set-up scripts do
# (its own bash with -euo pipefail, since it exits on a mismatch) with CACHE
# at $work/CASE holding TARBALL ("" for none) and, when PREPARED is
# "verified", an earlier run's unpacked copy. npm "downloads" good.tgz into
# the folder it runs in and notes how it was called.
fetch() {
  local cache=$work/$1
  mkdir -p "$cache"
  [ -z "$2" ] || cp "$work/$2" "$cache/chinese-poetry-0.0.1.tgz"
  if [ "$3" = verified ]; then mkdir -p "$cache/chinese-poetry-0.0.1" && touch "$cache/chinese-poetry-0.0.1/.verified"; fi
  SETUP=$SETUP CASE_CACHE=$cache INTEGRITY=$integrity GOOD=$work/good.tgz bash -c '
    set -euo pipefail
    source "$SETUP"
    CACHE=$CASE_CACHE POETRY_VERSION=0.0.1 POETRY_INTEGRITY=$INTEGRITY
    POETRY_SOURCE=$CACHE/chinese-poetry-$POETRY_VERSION
    npm() { echo "$*" >>"$CACHE/npm.log"; cp "$GOOD" chinese-poetry-0.0.1.tgz; }
    fetch_poetry' >/dev/null 2>"$cache/stderr"
}

#     case      tarball   prepared  exit  unpacked  tarball kept  npm call
cases=(
  "good       good.tgz  -         0     yes       yes           -"
  "bad        bad.tgz   -         1     no        no            -"
  "missing    -         -         0     yes       yes           pack --silent chinese-poetry@0.0.1"
  "trusted    bad.tgz   verified  0     no        yes           -"
)
for row in "${cases[@]}"; do
  read -r name tarball prepared want_exit want_unpacked want_kept _ <<<"$row"
  [ "$tarball" != - ] || tarball=""
  want_npm=$(sed -E 's/^([^ ]+ +){6}//' <<<"$row")
  status=0
  fetch "$name" "$tarball" "$prepared" || status=$?
  cache=$work/$name
  [ "$status" = "$want_exit" ] || fail "$name: exit $status, wanted $want_exit ($(cat "$cache/stderr"))"
  unpacked=no
  if [ -f "$cache/chinese-poetry-0.0.1/package.json" ] && [ -f "$cache/chinese-poetry-0.0.1/.verified" ]; then unpacked=yes; fi
  [ "$unpacked" = "$want_unpacked" ] || fail "$name: unpacked $unpacked, wanted $want_unpacked"
  kept=no
  [ ! -f "$cache/chinese-poetry-0.0.1.tgz" ] || kept=yes
  [ "$kept" = "$want_kept" ] || fail "$name: tarball kept $kept, wanted $want_kept"
  npm_call=$(cat "$cache/npm.log" 2>/dev/null || echo -)
  [ "$npm_call" = "$want_npm" ] || fail "$name: npm called as '$npm_call', wanted '$want_npm'"
done
grep -q "integrity mismatch" "$work/bad/stderr" || fail "bad: no word of the mismatch"
[ ! -e "$work/bad/chinese-poetry-0.0.1" ] || fail "bad: left a source folder behind"

# install_packages: only the missing packages reach apt-get, and apt is not
# touched at all when none is missing.
mkdir -p "$work/bin"
cat >"$work/bin/dpkg-query" <<'EOF'
#!/bin/sh
# Installed: every package whose name starts with "have-".
eval "p=\${$#}"
case $p in have-*) echo "install ok installed" ;; *) echo "unknown ok not-installed" ;; esac
EOF
cat >"$work/bin/apt-get" <<EOF
#!/bin/sh
echo "\$*" >>"$work/apt.log"
EOF
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*
# run_install PACKAGE...: install_packages as the set-up scripts run it.
run_install() {
  SETUP=$SETUP PATH=$work/bin:$PATH bash -c 'set -euo pipefail; source "$SETUP"; install_packages "$@"' _ "$@" 2>/dev/null
}
run_install have-a need-b have-c need-d || fail "install_packages stopped with $?"
want_apt=$'update -qq\ninstall -y -qq --no-install-recommends need-b need-d'
[ "$(cat "$work/apt.log" 2>/dev/null)" = "$want_apt" ] || fail "apt-get was called as: $(cat "$work/apt.log" 2>/dev/null)"
rm -f "$work/apt.log"
run_install have-a have-c || fail "install_packages stopped with $?"
[ ! -e "$work/apt.log" ] || fail "apt-get ran with nothing missing: $(cat "$work/apt.log")"

[ "$failures" -eq 0 ] && echo "all set-up checks passed"
exit "$((failures > 0))"
