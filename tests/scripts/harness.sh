# shellcheck shell=bash
# What the script tests share, sourced by them: a scratch folder `work`
# removed at exit, `fail MESSAGE` to note a failure and go on, and
# `finish` to end with the verdict.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
finish() {
  [ "$failures" -eq 0 ] && echo "all passed"
  exit "$((failures > 0))"
}
