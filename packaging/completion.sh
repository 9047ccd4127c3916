#!/bin/sh
# Writes the bash completion of scengen on standard output, from what the built program says of
# itself: the commands of `scengen --help`'s "Subcommands:" list and the options of each
# `scengen COMMAND --help`. A command added later is completed without an edit here.
#
# Usage: packaging/completion.sh SCENGEN OUT   (OUT: scengen.bash)
set -eu
[ $# -eq 2 ] || { echo "usage: $0 SCENGEN OUT" >&2; exit 2; }
scengen=$1
out=$2
# Written whole or not at all: a failed build leaves no half file behind.
trap 'rm -f "$out.tmp"' EXIT
exec 3>&1 >"$out.tmp"

# The names of the "Subcommands:" list, one a line.
commands() {
  sh "$(dirname "$0")/subcommands.sh" "$scengen"
}

# One line an option of a help text: its names, then the value it takes ("-" for none).
# "--kind KIND:{track,table,plan}" takes one of the listed words; "--out DIR" a folder.
options() {
  awk '
    /^Options:/ { on = 1; next }
    on && /^$/ { exit }
    on && /^  -/ {
      usage = substr($0, 3)
      sub(/  .*/, "", usage)
      n = split(usage, part, " ")
      gsub(/,/, " ", part[1])
      print part[1] "\t" (n > 1 ? part[2] : "-")
    }'
}

# The case arm of one command ("" for the program itself): its options, and what their values are.
arm() {
  label=$1
  help=$2
  printf '        %s)\n' "$label"
  printf '%s\n' "$help" | options | awk -F '\t' '
    { names = names (names == "" ? "" : " ") $1 }
    $2 == "DIR" { split($1, n, " "); for (i in n) folders = folders " " n[i] }
    $2 ~ /\{.*\}/ {
      words = $2; sub(/^[^{]*\{/, "", words); sub(/\}.*/, "", words); gsub(/,/, " ", words)
      split($1, n, " "); for (i in n) choices = choices sprintf("                %s) words=\"%s\" ;;\n", n[i], words)
    }
    $2 != "-" { split($1, n, " "); for (i in n) valued = valued " " n[i] }
    END {
      printf "            options=\"%s\"\n", names
      printf "            valued=\"%s \"\n", valued
      printf "            folders=\"%s \"\n", folders
      if (choices != "") printf "            case $prev in\n%s            esac\n", choices
      printf "            ;;\n"
    }'
}

names=$(commands | tr '\n' ' ' | sed 's/ $//')
[ -n "$names" ] || { echo "$0: '$scengen --help' lists no command" >&2; exit 1; }
cat <<HEAD
# bash completion for scengen: its commands, each command's options, folders after --out and the
# words an option allows. Generated at build time from the program's --help.

_scengen()
{
    local cur=\${COMP_WORDS[COMP_CWORD]} prev=\${COMP_WORDS[COMP_CWORD-1]}
    local commands="$names"
    local command="" options="" valued="" folders="" words="" i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case " \$commands " in
            *" \${COMP_WORDS[i]} "*) command=\${COMP_WORDS[i]}; break ;;
        esac
    done
    case \$command in
HEAD
arm '""' "$("$scengen" --help)"
for c in $(commands); do
  arm "$c" "$("$scengen" "$c" --help)"
done
cat <<'TAIL'
    esac
    COMPREPLY=()
    if [[ $valued == *" $prev "* ]]; then
        # The value of an option: a folder, one of its words, or (anything else) a file name.
        if [[ $folders == *" $prev "* ]]; then
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -d -- "$cur"))
        elif [[ -n $words ]]; then
            COMPREPLY=($(compgen -W "$words" -- "$cur"))
        fi
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    fi
    # An empty reply falls back to file names: a command's texts and binary files.
} &&
    complete -o default -F _scengen scengen
TAIL
exec >&3
mv "$out.tmp" "$out"
