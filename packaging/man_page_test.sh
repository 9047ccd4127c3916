#!/bin/sh
# The man page renders without a warning and holds every command of `scengen --help`, each with
# its options.
#   packaging/man_page_test.sh PAGE SCENGEN
set -eu
page=$1
scengen=$2
fail() { echo "FAILED: $*" >&2; exit 1; }
command -v man >/dev/null || { echo "SKIPPED: no man (man-db)"; exit 77; }

text=$(MANWIDTH=100 MAN_KEEP_FORMATTING= man --warnings -l "$page" 2>"$page.stderr" | col -b) ||
  fail "man -l $page fails: $(cat "$page.stderr")"
warnings=$(cat "$page.stderr"); rm -f "$page.stderr"
[ -z "$warnings" ] || fail "man -l $page warns: $warnings"
for section in NAME SYNOPSIS DESCRIPTION COMMANDS; do
  printf '%s\n' "$text" | grep -qx "$section" || fail "the page has no $section section"
done
commands=$(sh "$(dirname "$0")/subcommands.sh" "$scengen")
for c in $commands; do
  printf '%s\n' "$text" | grep -qx "   scengen $c" || fail "the page has no part for 'scengen $c'"
  for option in $("$scengen" "$c" --help | sed -n 's/^  \(--[a-z-]*\).*/\1/p'); do
    printf '%s\n' "$text" | grep -qe "$option" || fail "the page does not show $c's $option"
  done
done
