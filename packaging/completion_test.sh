#!/bin/bash
# The bash completion as a user meets it: the script sourced (or, with a second argument, found by
# bash-completion's loader under DATA_DIR/bash-completion/completions), then a command line
# completed at its end.
#   packaging/completion_test.sh COMPLETION_SCRIPT
#   packaging/completion_test.sh - DATA_DIR
set -uo pipefail
script=$1
status=0

if [ "$script" = - ]; then
  loader=/usr/share/bash-completion/bash_completion
  [ -r "$loader" ] || { echo "SKIPPED: no bash-completion ($loader)"; exit 77; }
  export XDG_DATA_DIRS=$2
  # The loader reads what a user's shell has; it is written for an interactive bash.
  set +u
  # shellcheck disable=SC1090
  . "$loader"
  _completion_loader scengen
  set -u
  declare -F _scengen >/dev/null || { echo "FAILED: bash-completion does not find scengen's completion under $2" >&2; exit 1; }
else
  # shellcheck disable=SC1090
  . "$script"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/out_a" "$work/out_b"
touch "$work/other"
cd "$work" || exit 1

# Completes the words of LINE (its last word the one being typed) and compares the sorted reply.
expect() {
  local line=$1 want=$2 got
  read -r -a COMP_WORDS <<<"$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$line
  COMP_POINT=${#line}
  COMPREPLY=()
  _scengen scengen "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//')
  if [ "$got" != "$want" ]; then
    echo "FAILED: '$line' completes to '$got', expected '$want'" >&2
    status=1
  fi
}

expect "scengen c" "check compile"
expect "scengen " "build check compile decompile diff dump explain fmt lsp render run texts watch"
expect "scengen --v" "--version"
expect "scengen compile --n" "--no-plan"
expect "scengen compile a_linea.txt --j" "--json"
expect "scengen check --" "--encoding --help --json --max-warnings --strict"
expect "scengen dump x.dat --kind t" "table track"
expect "scengen run --out out_" "out_a out_b"
# After a command, a word that is not an option is a file: bash's own completion gives it.
expect "scengen check o" ""
exit "$status"
