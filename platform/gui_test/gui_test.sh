#!/bin/bash
# The Windows program as a person meets it, under wine on the display that tools/check-windows
# provides: its window, its message box, its files. One case per call:
#   gui_test.sh CASE WINDOWS_BUILD_DIR LINUX_SCENGEN
# CASE: status_window, built_in_run, seal_error (on the display), console_run (scengen.exe).
# Exit status 77 means skipped, with the reason on the last line.
set -euo pipefail

case_name=$1
build=$(cd "$2" && pwd)
linux_program=$3
root=$(cd "$(dirname "$0")/../.." && pwd)

skip() {
  echo "SKIPPED: gui.$case_name: $*"
  exit 77
}
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
wine_run() { "$root/tools/wine-run" "$build/wineprefix" "$@"; }
probe() { wine_run "$build/gui_probe.exe" "$@" | tr -d '\r'; }

if [ "$case_name" != console_run ] && [ -z "${DISPLAY:-}" ]; then
  skip "no X display: tools/check-windows runs these tests on a virtual one"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/scengen-gui.XXXXXX")
program_pid=""
cleanup() {
  # wine runs the program in a process of its own: end whatever still runs from this test's folder.
  local pids
  pids=$(pgrep -f -- "$work/" || true)
  [ -z "$pids" ] || kill $pids 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A folder whose name Windows can only hold in UTF-16: paths must stay wide end to end.
folder="$work/Cartella di prova àèìòù €"
mkdir -p "$folder"

# Pixels for a length in twips at the screen's DPI, to the nearest pixel.
px() { echo $((($1 * $2 + 720) / 1440)); }

# The value of a "KEY A B" line of the probe's description.
fact() { sed -n "s/^$1 //p" <<<"$2"; }

expect_line() {
  grep -qxF -- "$1" <<<"$2" || fail "expected the line
  $1
in
$2"
}

# Waits for the program started in the background; its exit status in $status.
wait_program() {
  set +e
  wait "$program_pid"
  status=$?
  set -e
  program_pid=""
}

# Waits up to a minute for the program to end by itself, failing if a message box appears.
ends_by_itself() {
  for _ in $(seq 1 600); do
    kill -0 "$program_pid" 2>/dev/null || break
    if box=$(xdotool search --onlyvisible --name '^scengen$' 2>/dev/null | head -n 1) && [ -n "$box" ]; then
      probe window scengen
      fail "a message box appeared"
    fi
    sleep 0.1
  done
  kill -0 "$program_pid" 2>/dev/null && fail "the program did not end by itself"
  wait_program
}

# The Linux build's files of the built-in run in $work/linux, to compare with.
reference_files() {
  reference_run "$work/linux"
  [ "$reference_status" -eq 0 ] ||
    fail "the Linux build's run ends with status $reference_status: $(cat "$work/linux.out")"
}

# Runs the Linux build's scengen with ARGUMENTS in FOLDER; its exit status in $reference_status.
reference_run() {
  local where=$1
  shift
  [ -x "$linux_program" ] || skip "no Linux build at $linux_program to compare with: build the release preset"
  mkdir -p "$where"
  cp "$linux_program" "$where/scengen"
  set +e
  (cd "$where" && ./scengen "$@") >"$where.out" 2>&1
  reference_status=$?
  set -e
  rm "$where/scengen"
}

case "$case_name" in
status_window)
  # The window is shown and painted once; the run then waits for the test before its work.
  cp "$build/scengenw.exe" "$folder/"
  event="scengen-gui-test-$$"
  SCENGEN_TEST_HOLD_EVENT=$event wine_run "$folder/scengenw.exe" &
  program_pid=$!
  xid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1) ||
    fail "no window titled Form1 appeared"
  facts=$(probe window Form1)
  echo "$facts"
  read -r dpi_x dpi_y <<<"$(fact dpi "$facts")"
  expect_line "client $(px 4200 "$dpi_x") $(px 2688 "$dpi_y")" "$facts"
  label_left=$(px 960 "$dpi_x")
  label_top=$(px 960 "$dpi_y")
  label_width=$(px 2652 "$dpi_x")
  label_height=$(px 792 "$dpi_y")
  expect_line "child \"Static\" visible 1 rect $label_left $label_top $label_width $label_height text \"Attendere\"" "$facts"
  [ "$(grep -c '^child ' <<<"$facts")" -eq 1 ] || fail "the window holds more than its label"

  # What the screen shows: the label's text drawn inside its rectangle, and nothing else on the
  # client area, which is all of one colour.
  import -window "$xid" "$work/form1.png"
  read -r origin_x origin_y <<<"$(fact client-origin "$facts")"
  read -r client_width client_height <<<"$(fact client "$facts")"
  x=$((origin_x + label_left))
  y=$((origin_y + label_top))
  ink=$(convert "$work/form1.png" -crop "${label_width}x${label_height}+$x+$y" +repage \
    -colorspace Gray -threshold 50% -format '%[fx:1-mean]' info:)
  echo "ink in the label: $ink"
  awk -v ink="$ink" 'BEGIN { exit !(ink > 0.005 && ink < 0.6) }' ||
    fail "the label is not drawn (dark share of its rectangle: $ink)"
  background=$(convert "$work/form1.png" -format "%[pixel:p{$((origin_x + 2)),$((origin_y + 2))}]" info:)
  colours=$(convert "$work/form1.png" \
    -crop "${client_width}x${client_height}+$origin_x+$origin_y" +repage \
    -fill "$background" -draw "rectangle $label_left,$label_top $((label_left + label_width - 1)),$((label_top + label_height - 1))" \
    -format %k info:)
  [ "$colours" = 1 ] || fail "the client area outside the label is not plain ($colours colours)"

  probe release "$event"
  # The run goes on, processing no message, and the window goes with the process.
  ends_by_itself
  [ "$status" -eq 0 ] || fail "exit status $status"
  [ -z "$(xdotool search --onlyvisible --name '^Form1$' 2>/dev/null)" ] || fail "Form1 is still shown"
  ;;

built_in_run)
  reference_files
  cp "$build/scengenw.exe" "$folder/"
  wine_run "$folder/scengenw.exe" &
  program_pid=$!
  ends_by_itself
  [ "$status" -eq 0 ] || fail "exit status $status"
  rm "$folder/scengenw.exe"
  expected="Veltrano_Quarnelo_58316.dat
Veltrano_Quarnelo_58316.sim
Veltrano_Quarnelo_58316_note.txt
Veltrano_Quarnelo_58316_rallentamenti.txt
Veltrano_Quarnelo_58316_scheda_treno.txt
Veltrano_Quarnelo_linea.dat"
  [ "$(LC_ALL=C ls "$folder")" = "$expected" ] || fail "files left by scengenw.exe: $(ls "$folder")"
  [ "$(LC_ALL=C ls "$work/linux")" = "$expected" ] || fail "files left by the Linux build: $(ls "$work/linux")"
  while read -r name; do
    cmp "$folder/$name" "$work/linux/$name" || fail "$name differs from the Linux build's"
  done <<<"$expected"
  echo "six files, byte for byte those of the Linux build"
  ;;

seal_error)
  # A signal at position 0 (s1 = 4) puts Param1 into cell 1, which the seal keeps for itself.
  write_texts() {
    printf '[generale]\r\nlunghezza percorso,    5000\r\n[pendenze]\r\npendenza,  0,   0\r\n[fine]\r\n' >"$1/Prova_linea.txt"
    printf '[generale]\r\n[segnali]\r\nsegnale,    0,   2, 4, 0,  0, 0,    0,  0,0,0, 0\r\n[fine]\r\n' >"$1/Prova_1-.txt"
  }
  mkdir -p "$work/linux"
  write_texts "$work/linux"
  # The console reports the seal's error as a compiler does; the window program shows its box.
  reference_run "$work/linux" compile Prova_linea.txt Prova_1-.txt --out .
  grep -qF "error 1250" "$work/linux.out" && [ "$reference_status" -eq 3 ] ||
    fail "the Linux build does not stop at the seal: status $reference_status, $(cat "$work/linux.out")"

  cp "$build/scengenw.exe" "$folder/"
  write_texts "$folder"
  (cd "$folder" && exec "$root/tools/wine-run" "$build/wineprefix" scengenw.exe compile Prova_linea.txt Prova_1-.txt --out .) &
  program_pid=$!
  box=$(timeout 30 xdotool search --sync --onlyvisible --name '^scengen$' | head -n 1) ||
    fail "no message box appeared"
  facts=$(probe window scengen)
  echo "$facts"
  grep -qE '^child "Static" visible 1 rect [0-9 -]+ text " Errore n\. 1250"$' <<<"$facts" ||
    fail "the box does not say \" Errore n. 1250\""
  [ "$(grep -c '^child "Button" visible 1 ' <<<"$facts")" -eq 1 ] || fail "the box has not one button"
  grep -qE '^child "Button" visible 1 rect [0-9 -]+ text "OK"$' <<<"$facts" || fail "the button is not OK"
  sleep 0.2
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended before the box was closed"
  xdotool key Return
  for _ in $(seq 1 300); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$program_pid" 2>/dev/null && fail "Return did not close the box and end the program"
  wait_program
  [ "$status" -eq 3 ] || fail "exit status $status, expected 3"
  if ls "$folder" | grep -E '\.(dat|sim)$'; then fail "a binary file was written"; fi
  for text in Prova_linea.txt Prova_1-.txt; do
    cmp -s "$folder/$text" "$work/linux/$text" || fail "$text was changed or deleted"
  done
  echo "\" Errore n. 1250\", closed with Return, exit status 3, no binary file"
  ;;

console_run)
  # The console program's built-in run: the same six files, and one line naming its folder.
  reference_files
  cp "$build/scengen.exe" "$folder/"
  set +e
  timeout 120 "$root/tools/wine-run" "$build/wineprefix" "$folder/scengen.exe" >"$work/out" 2>&1 </dev/null
  status=$?
  set -e
  [ "$status" -eq 0 ] || fail "exit status $status: $(cat "$work/out")"
  case "$(cat "$work/out")" in
    "scengen: wrote 6 files to '"*"'") ;;
    *) fail "unexpected output: $(cat "$work/out")" ;;
  esac
  rm "$folder/scengen.exe"
  [ "$(ls "$folder")" = "$(ls "$work/linux")" ] || fail "files left: $(ls "$folder")"
  for name in "$work/linux"/*; do
    cmp "$folder/${name##*/}" "$name" || fail "${name##*/} differs from the Linux build's"
  done
  echo "$(ls "$folder" | wc -l) files, byte for byte those of the Linux build"
  ;;

*)
  echo "usage: gui_test.sh status_window|built_in_run|seal_error|console_run WINDOWS_BUILD_DIR LINUX_SCENGEN" >&2
  exit 2
  ;;
esac
