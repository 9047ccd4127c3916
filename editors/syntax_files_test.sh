#!/bin/bash
# The syntax files in the tools that read them, on the built-in texts (annotated, so with
# comments):
#   textmate  the grammar is JSON, each regex compiles in Oniguruma (jq's engine, as in the
#             editors), and the keyword patterns take every record field of the texts and no
#             misspelling;
#   vim       headless Neovim loads the syntax and detection files without an error and
#             highlights keywords, headers, comments, numbers and names;
#   notepad   the Notepad++ language is well-formed XML with its keyword lists.
# Exit status 77 (skipped) when the tool is not installed.
#   editors/syntax_files_test.sh CASE SYNTAX_DIR SCENGEN
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 textmate|vim|notepad SYNTAX_DIR SCENGEN" >&2; exit 2; }
case_name=$1
syntax=$(cd "$2" && pwd)
scengen=$3
fail() { echo "FAILED: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || { echo "SKIPPED: no $1"; exit 77; }; }

work=$(mktemp -d "${TMPDIR:-/tmp}/scengen-syntax.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$scengen" texts --annotated --out "$work" --quiet
line_text=$work/Veltrano_Quarnelo_linea.txt
train_text=$work/Veltrano_Quarnelo_58316-.txt

# Each record line of the texts as "GROUP<tab>FIRST FIELD": the line text's general section, its
# features, the train text's records; comments and headers left out.
record_fields() {
  awk -v group="$2" 'BEGIN { FS = "," }
    { sub(/\r$/, "") }
    /^[ \t]*\[/ { if (group == "general" && seen) group = "feature"; seen = 1; next }
    $1 ~ /-/ || !seen { next }
    { print group "\t" $1 }' "$1"
}

textmate() {
  need jq
  local grammar=$syntax/scengen.tmLanguage.json
  jq empty "$grammar" || fail "the grammar is not JSON"
  # Every regex of the grammar, compiled by Oniguruma against one line.
  jq -r '[.. | objects | (.match, .begin, .end) | strings] | .[] as $re
         | ("x" | test($re) | empty), $re' "$grammar" >/dev/null ||
    fail "a regex of the grammar does not compile"
  {
    record_fields "$line_text" general
    record_fields "$train_text" train
    # Fields a reader takes although they are not written as in the built-in texts, and
    # misspellings and fields of another group it does not take.
    printf '%s\t%s\n' train 'NUMERO VETTURE' train '  velocità' feature 'curvaS2' \
      general 'lunghezza del percorso' none 'numero vettrue' none 'stazion' \
      none 'progressiva chilometrica UNO' none 'Sfondo uno'
  } >"$work/fields"
  # A field must match a pattern of its group and of no other.
  jq -R -r --slurpfile grammar "$grammar" '
    split("\t") as [$group, $field]
    | [$grammar[0].repository | to_entries[] | select(.key | endswith("-keywords"))
       | select(any(.value.patterns[].match as $re | $field | test($re); .))
       | .key | rtrimstr("-keywords")] as $matched
    | if $matched == (if $group == "none" then [] else [$group] end) then empty
      else "\($field): expected \($group), matched \($matched)" end' "$work/fields" >"$work/wrong"
  [ ! -s "$work/wrong" ] || fail "keyword patterns:
$(cat "$work/wrong")"
  [ "$(jq -r '.repository.comment.match as $re | "-- a comment" | test($re)' "$grammar")" = true ] ||
    fail "the comment pattern does not take '-- a comment'"
  echo "TextMate grammar: $(wc -l <"$work/fields") fields as the readers take them"
}

vim() {
  need nvim
  # For each case: the text, a pattern that finds the place, the highlight group expected there.
  cat >"$work/cases" <<'CASES'
linea	^\[generale\]	scengenHeader
linea	^lunghezza percorso	scengenGeneralKeyword
linea	^ripetizione segnali	scengenGeneralKeyword
linea	^curvad6	scengenFeatureKeyword
linea	^cartello_indicatore	scengenFeatureKeyword
linea	^-- lunghezza percorso	scengenComment
linea	^lunghezza percorso,\s*\zs72000	scengenNumber
linea	^cartello_indicatore,\s*\d\+,\s*\zs(	scengenText
train	^\[stazioni\]	scengenHeader
train	^numero vetture	scengenTrainKeyword
train	^stazione	scengenTrainKeyword
train	VELTRA CENTRALE	scengenText
train	^-- stazione	scengenComment
train	^numero vettrue	scengenGeneralSection
CASES
  sed -i 's/^numero vetture,    8/numero vetture,    8\r\nnumero vettrue,    8/' "$train_text"
  cat >"$work/check.lua" <<'LUA'
local out = {}
local function check(buffer_file, pattern, expected)
  -- A fresh buffer each time: synID after re-editing a buffer may answer from the state before.
  vim.cmd('silent! bwipeout!')
  vim.cmd('edit ' .. vim.fn.fnameescape(buffer_file))
  vim.fn.cursor(1, 1)
  local line = vim.fn.search(pattern, 'cW')
  local group = line == 0 and 'not found' or
    vim.fn.synIDattr(vim.fn.synID(line, vim.fn.col('.'), 1), 'name')
  table.insert(out, vim.bo.filetype .. ' ' .. pattern .. ' ' .. group)
end
local files = { linea = vim.env.LINE_TEXT, train = vim.env.TRAIN_TEXT }
for entry in io.lines(vim.env.CASES) do
  local text, pattern, _ = entry:match('^(%S+)\t(.-)\t(%S+)$')
  check(files[text], pattern)
end
table.insert(out, 'errmsg: ' .. vim.v.errmsg)
vim.fn.writefile(out, vim.env.RESULT)
vim.cmd('qall!')
LUA
  LINE_TEXT=$line_text TRAIN_TEXT=$train_text CASES=$work/cases RESULT=$work/result \
    timeout 60 nvim --headless --clean --cmd "set runtimepath+=$syntax/vim" \
    -c "luafile $work/check.lua" >"$work/nvim.log" 2>&1 || fail "nvim: $(cat "$work/nvim.log")"
  expected=$(awk -F'\t' '{ print "scengen " $2 " " $3 }' "$work/cases"; echo "errmsg: ")
  [ "$(cat "$work/result")" = "$expected" ] || fail "highlighting:
$(diff <(echo "$expected") "$work/result")"
  [ ! -s "$work/nvim.log" ] || fail "nvim says: $(cat "$work/nvim.log")"
  echo "Vim syntax: $(wc -l <"$work/cases") places highlighted as expected"
}

notepad() {
  need xmllint
  local language=$syntax/scengen.udl.xml
  xmllint --noout "$language" || fail "the Notepad++ language is not well-formed XML"
  for list in 1 2 3; do
    words=$(xmllint --xpath "string(//Keywords[@name='Keywords$list'])" "$language")
    [ -n "$words" ] || fail "Keywords$list is empty"
  done
  [ "$(xmllint --xpath 'string(//UserLang/@name)' "$language")" = scengen ] ||
    fail "the language is not named scengen"
  echo "Notepad++ language: well-formed, three keyword lists"
}

case $case_name in
  textmate | vim | notepad) "$case_name" ;;
  *) echo "unknown case $case_name" >&2; exit 2 ;;
esac
