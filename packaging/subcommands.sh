#!/bin/sh
# Prints the commands of `scengen --help`'s "Subcommands:" list, one a line: the one reading of
# that list that the completion, the man page and their tests share.
#
# Usage: packaging/subcommands.sh SCENGEN
set -eu
"$1" --help | awk '/^Subcommands:/ { on = 1; next } on && /^$/ { exit } on { print $1 }'
