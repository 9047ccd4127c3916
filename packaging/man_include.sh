#!/bin/sh
# Writes the extra sections of the scengen(1) page for help2man's --include on standard output:
# the --help of every command of `scengen --help`'s "Subcommands:" list, as printed, so that a
# command added later has its part of the page without an edit here.
#
# Usage: packaging/man_include.sh SCENGEN OUT   (OUT: scengen.h2m)
set -eu
[ $# -eq 2 ] || { echo "usage: $0 SCENGEN OUT" >&2; exit 2; }
scengen=$1
out=$2
# Written whole or not at all: a failed build leaves no half file behind.
trap 'rm -f "$out.tmp"' EXIT
exec 3>&1 >"$out.tmp"

# The help as roff that is kept as printed: backslashes and minus signs escaped, and a line that
# starts with a dot or an apostrophe guarded from being read as a request.
as_roff() {
  sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"
}

commands=$(sh "$(dirname "$0")/subcommands.sh" "$scengen")
[ -n "$commands" ] || { echo "$0: '$scengen --help' lists no command" >&2; exit 1; }

echo '[COMMANDS]'
printf '%s\n' 'Each command has its own options; \fBscengen \fICOMMAND\fB \-\-help\fR prints them.'
for c in $commands; do
  printf '.SS "%s"\n' "scengen $c"
  echo '.nf'
  "$scengen" "$c" --help | as_roff
  echo '.fi'
done
exec >&3
mv "$out.tmp" "$out"
