# Shared by the real-client tests (sourced): the built-in texts in a scratch folder with one
# keyword of the train text misspelt, and the warning `scengen check` gives for it, which the
# editor must show at the same line and column with the same words.
#   needs: scengen (the program), editor (the editor's command, to skip without it)
fail() { echo "FAILED: $*" >&2; exit 1; }
command -v "$editor" >/dev/null || { echo "SKIPPED: no $editor"; exit 77; }
# Until the program has its language server (a build without it), there is nothing to talk to.
"$scengen" lsp --help >/dev/null 2>&1 || { echo "SKIPPED: $scengen has no lsp command"; exit 77; }

work=$(mktemp -d "${TMPDIR:-/tmp}/scengen-client.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$scengen" texts --out "$work" --quiet
line_text=$work/Veltrano_Quarnelo_linea.txt
train_text=$work/Veltrano_Quarnelo_58316-.txt
cp "$train_text" "$work/original-train.txt"
# "vettrue" holds no keyword: the record matches nothing and the reader warns.
sed -i 's/^numero vetture,/numero vettrue,/' "$train_text"
cmp -s "$train_text" "$work/original-train.txt" && fail "the train text has no 'numero vetture' record"

# The warning as check reports it: FILE:LINE:COLUMN: warning: MESSAGE.
report=$(cd "$work" && "$scengen" check Veltrano_Quarnelo_linea.txt Veltrano_Quarnelo_58316-.txt 2>&1 |
  sed -n 's/^Veltrano_Quarnelo_58316-\.txt:\([0-9]*\):\([0-9]*\): warning: \(.*\)$/\1:\2 \3/p')
[ "$(printf '%s\n' "$report" | wc -l)" -eq 1 ] && [ -n "$report" ] ||
  fail "check does not report one warning for the misspelt keyword: $report"
[ "${report%% *}" = 2:1 ] || fail "check reports the misspelling at ${report%% *}, not 2:1"
# The editor shows check's words without the pointer to the reference that ends check's line:
# the server offers the reference itself (hover).
report=${report% (scengen explain *)}
