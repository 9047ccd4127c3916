#!/bin/bash
# Neovim (headless, its built-in language client) on `scengen lsp`: the train text of the
# built-in scenario with a misspelt keyword shows check's warning at its line and column; the
# did-you-mean quick fix, chosen from the code actions as a user would, mends the line; saved,
# the text is the built-in one again and `scengen check` is clean; the server then ends with
# status 0. Exit status 77 (skipped) without nvim.
#   editors/nvim_client_test.sh SCENGEN
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 SCENGEN" >&2; exit 2; }
scengen=$(realpath "$1")
editor=nvim
source "$(dirname "$0")/client_test_common.sh"

SCENGEN=$scengen TRAIN_TEXT=$train_text RESULT=$work/result \
  timeout 90 nvim --headless --clean -c "luafile $(dirname "$0")/nvim_client_test.lua" \
  >"$work/nvim.log" 2>&1 || fail "nvim: $(cat "$work/nvim.log" "$work/result" 2>/dev/null)"
expected="diagnostic: $report
line 2 after the quick fix: numero vetture,    8
diagnostics after the quick fix: 0
server exit status: 0"
[ "$(cat "$work/result")" = "$expected" ] || fail "Neovim:
$(diff <(echo "$expected") "$work/result")
$(cat "$work/nvim.log")"

cmp "$train_text" "$work/original-train.txt" || fail "the saved train text is not the built-in one"
(cd "$work" && "$scengen" check Veltrano_Quarnelo_linea.txt Veltrano_Quarnelo_58316-.txt) \
  >"$work/check.log" 2>&1 || fail "check after the fix: $(cat "$work/check.log")"
[ ! -s "$work/check.log" ] || fail "check after the fix reports: $(cat "$work/check.log")"
echo "Neovim: the warning at $report; the quick fix applied; check is clean"
