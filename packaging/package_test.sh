#!/bin/bash
# The Debian package as a user gets it, unpacked into a scratch root (dpkg -x, no root needed):
# the installed scengen runs the built-in run with the same six files as the build folder's, its
# version is the build's, the editors' syntax files are the build's, the man page renders,
# bash-completion finds the completion, and lintian reports no error. tools/check runs it after
# tools/package.
#   packaging/package_test.sh DEB SCENGEN     (SCENGEN: the build folder's program, to compare with)
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 DEB SCENGEN" >&2; exit 2; }
deb=$(realpath "$1")
built=$(realpath "$2")
source_dir=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "FAILED: $*" >&2; exit 1; }
[ -f "$deb" ] || fail "no package $deb: run tools/package"

work=$(mktemp -d "${TMPDIR:-/tmp}/scengen-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
root=$work/root
dpkg -x "$deb" "$root"
for file in usr/bin/scengen usr/share/man/man1/scengen.1.gz \
            usr/share/bash-completion/completions/scengen usr/share/doc/scengen/README.md \
            usr/share/doc/scengen/copyright usr/share/doc/scengen/changelog.gz \
            usr/share/doc/scengen/docs/pictures/Veltrano_Quarnelo_map.png; do
  [ -f "$root/$file" ] || fail "the package has no /$file"
done
installed=$root/usr/bin/scengen
# The editors' syntax files, as the build made them.
for file in scengen.tmLanguage.json vim/syntax/scengen.vim vim/ftdetect/scengen.vim scengen.udl.xml; do
  cmp -s "$root/usr/share/scengen/editors/$file" "$(dirname "$built")/editors/share/$file" ||
    fail "the package's /usr/share/scengen/editors/$file is missing or not the build's"
done
echo "editors: the four syntax files, as the build made them"

# The built-in run into a scratch folder, once by each program: the same six files, byte for byte.
mkdir "$work/installed" "$work/built"
"$installed" run --out "$work/installed" || fail "the installed scengen's run ends with status $?"
"$built" run --out "$work/built" || fail "the build folder's run ends with status $?"
count=$(find "$work/installed" -type f | wc -l)
[ "$count" -eq 6 ] || fail "the installed scengen's run wrote $count files, not six: $(ls "$work/installed")"
diff -r "$work/built" "$work/installed" || fail "the installed scengen's files differ from the build's"
echo "built-in run: six files identical to $built's"

[ "$("$installed" --version)" = "$("$built" --version)" ] ||
  fail "the installed version '$("$installed" --version)' is not the build's '$("$built" --version)'"

sh "$source_dir/packaging/man_page_test.sh" "$root/usr/share/man/man1/scengen.1.gz" "$installed"
echo "man -l: the page renders with every command"
bash "$source_dir/packaging/completion_test.sh" - "$root/usr/share"
echo "bash-completion: loads the installed completion, which completes commands and options"

# lintian: errors fail the test, anything else is shown.
report=$(lintian --info "$deb" 2>&1 | grep -v '^running with root privileges' || true)
[ -z "$report" ] || printf 'lintian:\n%s\n' "$report"
if printf '%s\n' "$report" | grep -q '^E: '; then
  fail "lintian reports errors"
fi
echo "lintian: no error"
