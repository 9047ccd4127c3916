#!/bin/sh
# tools/setup keeps its purposes apart: what building and running need is the packages the
# README's first command stands on, no test tool among them; the test list holds the build list
# and the tools the tests and tools/package call; the README names every package.
#   packaging/setup_lists_test.sh SOURCE_DIR
set -eu
root=$1
fail() { echo "FAILED: $*" >&2; exit 1; }

build=$("$root/tools/setup" --list | sort)
test=$("$root/tools/setup" --list test | sort)
expected=$(printf '%s\n' cmake g++ libcli11-dev ninja-build nlohmann-json3-dev libcpp-httplib-dev \
  pkgconf | sort)
[ "$build" = "$expected" ] ||
  fail "tools/setup's build-and-run list is not the packages building needs:
$build"

for p in $build libgtest-dev help2man lintian dpkg-dev wine xvfb chromium; do
  printf '%s\n' "$test" | grep -qxF "$p" || fail "tools/setup test does not install $p"
done
# Nothing twice: a package moved to the build list must leave the test part.
dups=$(printf '%s\n' "$test" | uniq -d)
[ -z "$dups" ] || fail "tools/setup test lists twice: $dups"

for p in $test; do
  grep -qF "\`$p\`" "$root/README.md" || fail "the README's packages list does not name $p"
done
