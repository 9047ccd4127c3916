#!/bin/bash
# Emacs (emacs --batch) with eglot on `scengen lsp`: the train text of the built-in scenario with
# a misspelt keyword shows check's warning, through Flymake, at its line and column. Exit status
# 77 (skipped) without emacs or eglot.
#   editors/emacs_client_test.sh SCENGEN
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 SCENGEN" >&2; exit 2; }
scengen=$(realpath "$1")
editor=emacs
source "$(dirname "$0")/client_test_common.sh"
emacs --batch --eval "(require 'eglot)" >/dev/null 2>&1 || { echo "SKIPPED: no eglot"; exit 77; }

SCENGEN=$scengen TRAIN_TEXT=$train_text RESULT=$work/result \
  timeout 90 emacs --batch -l "$(dirname "$0")/emacs_client_test.el" >"$work/emacs.log" 2>&1 ||
  fail "emacs: $(cat "$work/emacs.log" "$work/result" 2>/dev/null)"
expected="diagnostic: $report
shutdown answered"
[ "$(cat "$work/result")" = "$expected" ] || fail "Emacs:
$(diff <(echo "$expected") "$work/result")
$(cat "$work/emacs.log")"
echo "Emacs with eglot: the warning at $report"
