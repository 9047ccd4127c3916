#!/bin/bash
# The Windows zip as a user unpacks it: the two programs, the README, docs/ and the editors'
# syntax files, and the programs from it run under wine with the window tests' cases
# (platform/gui_test/gui_test.sh), which compare their six files with the Linux build's. Run by
# ctest in the windows build, on the display that tools/check-windows provides; exit status 77
# (skipped) while there is no zip.
#   packaging/zip_test.sh CASE ZIP WINDOWS_BUILD_DIR LINUX_SCENGEN
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 CASE ZIP WINDOWS_BUILD_DIR LINUX_SCENGEN" >&2; exit 2; }
case_name=$1
zip=$2
build=$(cd "$3" && pwd)
linux_program=$4
source_dir=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "FAILED: $*" >&2; exit 1; }
[ -f "$zip" ] || { echo "SKIPPED: package.zip.$case_name: no $zip (tools/package makes it)"; exit 77; }

work=$(mktemp -d "${TMPDIR:-/tmp}/scengen-zip.XXXXXX")
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work/unpacked"
top=$work/unpacked/$(basename "$zip" .zip)
[ -d "$top" ] || fail "the zip does not hold the folder $(basename "$zip" .zip)"
for file in scengen.exe scengenw.exe README.md docs/pictures/Veltrano_Quarnelo_map.png \
            editors/scengen.tmLanguage.json editors/vim/syntax/scengen.vim \
            editors/vim/ftdetect/scengen.vim editors/scengen.udl.xml; do
  [ -f "$top/$file" ] || fail "the zip has no $file"
done
extra=$(cd "$top" && find . -maxdepth 1 ! -name . ! -name scengen.exe ! -name scengenw.exe \
  ! -name README.md ! -name docs ! -name editors)
[ -z "$extra" ] || fail "the zip holds more than the programs, the README, docs/ and editors/: $extra"

# The window tests' folder layout: the programs from the zip, the probe and the wine prefix of
# the build.
mkdir "$work/build"
cp "$top/scengen.exe" "$top/scengenw.exe" "$work/build/"
ln -s "$build/gui_probe.exe" "$work/build/gui_probe.exe"
ln -s "$build/wineprefix" "$work/build/wineprefix"
bash "$source_dir/platform/gui_test/gui_test.sh" "$case_name" "$work/build" "$linux_program"
