#!/usr/bin/env bash
# Acceptance run: installs Tonequill into a temporary folder, starts the installed program on a
# virtual X display and uses it the way a person does, with real mouse and keyboard events:
# waits for the splash and the main window, checks that the preview pane shows the logo, adds
# two files through the open-file dialog, plays one in the preview and stops it, chooses MP3
# and "Excellent Quality", sets the output folder, converts, and checks the two output files
# and the log; then starts a second batch, stops it and presses Convert again at once, and
# checks that this started nothing more. A screenshot of every step goes into the screenshot
# folder.
#
# With --keyboard the same program is used by a person without a mouse: only keys reach it.
# The focus starts on Add; Ctrl+O adds the two files, the arrow keys choose a row and trim it with
# the two timeline markers, Tab and the arrow keys pick MP3 and "Excellent Quality", Space
# unchecks "Show output directory when done", Ctrl+Return converts into the default output
# folder; the outputs are checked (the trimmed one for its segment), and Tab and Space reach the
# close button. The accessibility tree is walked first, as a screen reader sees it.
#
# Usage: acceptance.sh [--keyboard] --build <build folder> --grab <screen grab program>
#                      --shots <folder>
#
# The main window is frameless and lays its controls out at fixed pixel positions, so the
# clicks below use positions relative to the window's top-left corner.
set -euo pipefail

build=""
grab=""
shots=""
keyboard=0
while [ $# -gt 0 ]; do
  case $1 in
    --keyboard) keyboard=1; shift ;;
    --build) build=$2; shift 2 ;;
    --grab) grab=$2; shift 2 ;;
    --shots) shots=$2; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done
[ -n "$build" ] && [ -n "$grab" ] && [ -n "$shots" ] || { echo "usage: $0 --build B --grab G --shots S" >&2; exit 2; }

for tool in Xvfb xdotool ffmpeg ffprobe cmake; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (see tools/packages.txt)" >&2; exit 1; }
done

logo_picture=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/artwork/pictures/logo.png
work=$(mktemp -d /tmp/tq-acceptance.XXXXXX)
prefix=$work/prefix
sources=$work/sources
output=$work/output
xvfb_pid=""
app_pid=""
bus_pid=""
step=0

cleanup() {
  if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
    kill -KILL "$app_pid" 2>/dev/null || true
  fi
  if [ -n "$bus_pid" ]; then
    kill "$bus_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*" >&2
  shot "failure" || true
  if [ -f "$work/app.log" ]; then
    echo "---- program output ----" >&2
    tail -n 60 "$work/app.log" >&2
  fi
  if [ -f "$prefix/log.txt" ]; then
    echo "---- log.txt ----" >&2
    cat "$prefix/log.txt" >&2
  fi
  exit 1
}

note() { echo "[$(date +%T)] $*"; }

# A screenshot of the whole screen, numbered in the order of the steps.
shot() {
  [ -n "${DISPLAY:-}" ] || return 0
  step=$((step + 1))
  local file
  file=$(printf '%s/%02d-%s.png' "$shots" "$step" "$1")
  ASAN_OPTIONS=detect_leaks=0 "$grab" "$file" >/dev/null 2>&1 || echo "(no screenshot $file)"
}

# Waits until a command succeeds, up to a number of seconds.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || fail "gave up waiting for $what after ${seconds}s"
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended while waiting for $what"
    sleep 0.2
  done
}

# The visible top-level windows of the program with their sizes: "<id> <width> <height> <name>".
# Only children of the root window count (there is no window manager to reparent them): the
# preview's native video window inside the main window is not one of them.
program_windows() {
  local id
  for id in $(xdotool search --maxdepth 1 --onlyvisible --pid "$app_pid" 2>/dev/null); do
    local geometry size
    geometry=$(xdotool getwindowgeometry "$id" 2>/dev/null) || continue
    size=$(echo "$geometry" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
    echo "$id $size $(xdotool getwindowname "$id" 2>/dev/null)"
  done
}

main_window=""
find_main_window() {
  # The main window is the only one at least 686 pixels wide (its minimum size).
  main_window=$(program_windows | awk '$2 >= 686 && $3 >= 500 {print $1; exit}')
  [ -n "$main_window" ]
}
splash_window=""
find_splash() {
  splash_window=$(program_windows | awk '$2 < 686 && $2 > 100 {print $1; exit}')
  [ -n "$splash_window" ]
}
no_splash() { ! find_splash; }

progress_window=""
find_progress_window() {
  progress_window=$(program_windows | awk '{ id = $1; $1 = $2 = $3 = ""; sub(/^ +/, "") } index($0, "Converting") == 1 {print id; exit}')
  [ -n "$progress_window" ]
}
question=""
# A titled window of the program that is neither the main window nor the progress window.
find_question() {
  question=$(program_windows | awk -v main="$main_window" '$1 != main && NF >= 4 && $4 != "Converting" {print $1; exit}')
  [ -n "$question" ]
}

# The screen position of a window's top-left corner: "<x> <y>".
window_position() {
  xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\1 \2/p'
}

# Whether the preview pane (pnlMediaView, 260 x 158 at 14,115 of the main window) shows the
# logo picture, judged from the pixels on the screen.
pane_shows_logo() {
  local x y
  read -r x y <<<"$(window_position "$main_window")"
  ASAN_OPTIONS=detect_leaks=0 XDG_RUNTIME_DIR="$work/runtime" "$grab" --find "$logo_picture" $((x + 14)) $((y + 115)) 260 158 >"$work/logo-match"
}
pane_hides_logo() { ! pane_shows_logo; }

dialog=""
# A titled window of the program other than the main window: a dialog or the progress window.
find_dialog() {
  dialog=$(program_windows | awk -v main="$main_window" '$1 != main && NF >= 4 {print $1; exit}')
  [ -n "$dialog" ]
}
dialog_gone() { ! xdotool search --maxdepth 1 --onlyvisible --pid "$app_pid" 2>/dev/null | grep -qx "$dialog"; }
# A window of the program whose title begins with the given text.
window_named() { program_windows | awk -v name="$1" '{ $1 = $2 = $3 = ""; sub(/^ +/, "") } index($0, name) == 1 {found = 1} END {exit !found}'; }
no_window_named() { ! window_named "$1"; }

# Clicks a point of the main window. The pointer comes from a few pixels away, so the control
# sees it enter even when the previous click left the pointer on the same spot.
click_at() {
  xdotool mousemove --window "$main_window" "$(($1 - 6))" "$(($2 - 4))"
  sleep 0.15
  xdotool mousemove --window "$main_window" "$1" "$2"
  sleep 0.25
  xdotool click 1
  sleep 0.4
}

# Clicks a button of the main window that opens a dialog and waits for the dialog. A click
# that comes while the window is still busy with the previous step can go unseen, so it is
# repeated, twice at most, when no dialog has come up after a few seconds.
open_dialog() {
  local x=$1 y=$2 what=$3 try deadline
  for try in 1 2 3; do
    click_at "$x" "$y"
    deadline=$((SECONDS + 8))
    while [ $SECONDS -lt $deadline ]; do
      find_dialog && return 0
      kill -0 "$app_pid" 2>/dev/null || fail "the program ended while waiting for the $what dialog"
      sleep 0.2
    done
    note "no $what dialog after click $try"
  done
  fail "the $what dialog did not open"
}

# Types a path into the dialog that has just opened and confirms it with Enter. The file name
# box completes paths in a popup; Enter is pressed again while the dialog is still open.
type_into_dialog() {
  local text=$1 what=$2
  xdotool mousemove --window "$dialog" 40 40
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  sleep 0.5
  shot "$what-dialog"
  replace_text_and_accept "$text" "$what"
}

# Types `text` over what the dialog's name box holds (it may still hold the previous choice) and
# presses Return until the dialog closes: the box completes paths in a list, which takes the
# first Return.
replace_text_and_accept() {
  local text=$1 what=$2 tries=0
  xdotool key ctrl+a
  xdotool type --delay 15 "$text"
  sleep 0.4
  shot "$what-typed"
  while ! dialog_gone; do
    tries=$((tries + 1))
    [ $tries -le 4 ] || fail "the $what dialog did not accept \"$text\""
    xdotool key Return
    sleep 0.8
  done
}

# The number of visible windows of the program (a drop-down list's popup is one).
window_count() { xdotool search --maxdepth 1 --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l; }

# Picks an entry of a drop-down list by opening it with the mouse and moving with the arrow
# keys from the current entry. The click is repeated when the list has not opened.
pick_in_list() {
  local x=$1 y=$2 downs=$3 what=$4 before try opened=0
  before=$(window_count)
  for try in 1 2 3; do
    click_at "$x" "$y"
    sleep 0.5
    if [ "$(window_count)" -gt "$before" ]; then
      opened=1
      break
    fi
    note "the $what list did not open on click $try"
  done
  [ $opened -eq 1 ] || fail "the $what list does not open"
  shot "$what-open"
  local i
  for ((i = 0; i < downs; i++)); do
    xdotool key Down
    sleep 0.1
  done
  xdotool key Return
  sleep 0.5
  shot "$what-chosen"
}

# After a dialog has closed, the main window takes one click to become the window that gets
# the input again; the click goes to a caption, where it does nothing.
settle_after_dialog() {
  click_at 300 161 # lblProfileSettings
}

# ---- install ----
note "installing into $prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install"; }
expected=$(printf '%s\n' Config Form.so Help.html Res.so evc tonequill)
actual=$(cd "$prefix" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort)
[ "$actual" = "$(echo "$expected" | LC_ALL=C sort)" ] ||
  fail "the program folder should hold exactly: $(echo $expected); it holds: $(echo $actual)"
[ -z "$(ls -A "$prefix/Config")" ] || fail "Config/ is not empty after the install"
for binary in tonequill evc Form.so Res.so; do
  if readelf -d "$prefix/$binary" | grep -E 'R(UN)?PATH' | grep -q "$build"; then
    fail "$binary still looks for libraries in the build folder"
  fi
done

# ---- media ----
mkdir -p "$sources" "$output" "$work/home" "$work/elsewhere" "$work/fakebin"
mkdir -m 0700 "$work/runtime"
source_a="$sources/first tone.wav"
source_b="$sources/second-tone.m4a"
ffmpeg -v error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=6" -ac 2 \
  -c:a pcm_s16le "$source_a"
ffmpeg -v error -y -f lavfi -i "sine=frequency=660:sample_rate=48000:duration=4" -ac 1 \
  -c:a aac -b:a 96k "$source_b"

# Opening the output folder would start a file manager; a stand-in records any such request.
opened=$work/opened-urls
for opener in xdg-open gio kde-open kde-open5 gnome-open exo-open; do
  printf '#!/bin/sh\necho "$*" >>"%s"\n' "$opened" >"$work/fakebin/$opener"
  chmod +x "$work/fakebin/$opener"
done

# ---- display ----
mkdir -p "$shots"
rm -f "$shots"/*.png
exec 9>"$work/display"
Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 9>&-
deadline=$((SECONDS + 20))
until [ -s "$work/display" ]; do
  [ $SECONDS -lt $deadline ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log"; fail "Xvfb ended"; }
  sleep 0.1
done
export DISPLAY=":$(head -n1 "$work/display")"
note "virtual display $DISPLAY"

# ---- the accessibility bus, for the keyboard run: a private session bus ----
session_bus="unix:path=$work/no-session-bus"
atspi_check=""
a11y_env=()
if [ $keyboard -eq 1 ] && /usr/bin/python3 -c "import pyatspi" 2>/dev/null; then
  dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus-address" 4>"$work/bus-pid"
  session_bus=$(head -n1 "$work/bus-address")
  bus_pid=$(head -n1 "$work/bus-pid")
  # The accessibility bus is started on request; the program finds it when it starts.
  DBUS_SESSION_BUS_ADDRESS=$session_bus dbus-send --session --print-reply --dest=org.a11y.Bus \
    /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null || fail "no accessibility bus"
  atspi_check=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/atspi-check.py
  a11y_env=(QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1)
elif [ $keyboard -eq 1 ]; then
  note "python3-pyatspi is missing: the accessibility tree is not checked"
fi

# ---- start the installed program, from an unrelated working folder ----
: "${ASAN_OPTIONS:=halt_on_error=1:detect_leaks=1:exitcode=86}"
: "${UBSAN_OPTIONS:=halt_on_error=1:print_stacktrace=1:exitcode=87}"
: "${LSAN_OPTIONS:=suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tools/lsan.supp:print_suppressions=0}"
export ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS
# Memory errors end the program with a report; the leak check at exit stays with the window
# tests. On a real display the sound plugins leave small blocks allocated from plugins that are
# already unloaded at exit, so their stacks name no library a suppression could match, and the
# full unwinder that would reach one makes the program too slow to drive.
app_asan_options="$ASAN_OPTIONS:detect_leaks=0"
(
  cd "$work/elsewhere"
  exec env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u SESSION_MANAGER \
    QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= \
    HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
    XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
    XDG_CACHE_HOME="$work/home/.cache" \
    DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/no-system-bus" \
    DBUS_SESSION_BUS_ADDRESS="$session_bus" "${a11y_env[@]}" \
    PATH="$work/fakebin:$PATH" ASAN_OPTIONS="$app_asan_options" \
    "$prefix/tonequill"
) >"$work/app.log" 2>&1 &
app_pid=$!
note "started $prefix/tonequill (process $app_pid)"

wait_for 40 "the splash window" find_splash
sleep 0.3
shot "splash"
wait_for 40 "the main window" find_main_window
wait_for 40 "the splash to close" no_splash
sleep 0.5
shot "main-window"
note "main window $main_window is up"
wait_for 10 "the logo in the preview pane at start" pane_shows_logo
note "preview pane at start: $(cat "$work/logo-match")"

probe() { ffprobe -v error -select_streams a:0 -show_entries "$1" -of default=nw=1:nk=1 "$2"; }
check_output() {
  local file=$1 seconds=$2
  [ -s "$file" ] || fail "missing output $file (output folder holds: $(ls -A "$output"))"
  local codec rate channels bitrate duration
  codec=$(probe stream=codec_name "$file")
  rate=$(probe stream=sample_rate "$file")
  channels=$(probe stream=channels "$file")
  bitrate=$(ffprobe -v error -show_entries format=bit_rate -of default=nw=1:nk=1 "$file")
  duration=$(ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 "$file")
  note "$(basename "$file"): $codec, $rate Hz, $channels channels, $bitrate bit/s, $duration s"
  [ "$codec" = mp3 ] || fail "$file is $codec, not MP3"
  [ "$rate" = 44100 ] || fail "$file has $rate Hz, not 44100 (Excellent Quality)"
  [ "$channels" = 2 ] || fail "$file has $channels channels, not 2 (Excellent Quality)"
  # Excellent Quality is 192 kbit/s; the file's overall rate includes its small header.
  awk -v b="$bitrate" 'BEGIN {exit !(b >= 180000 && b <= 205000)}' ||
    fail "$file has $bitrate bit/s, not the 192 kbit/s class"
  awk -v d="$duration" -v s="$seconds" 'BEGIN {exit !(d >= s - 0.15 && d <= s + 0.15)}' ||
    fail "$file lasts $duration s, not $seconds s"
}
# Presses keys on the program's focused window: no pointer moves, no clicks.
keys() {
  local key
  for key in "$@"; do
    xdotool key --clearmodifiers "$key"
    sleep 0.25
  done
}
repeat_key() {
  local count=$1 key=$2 i
  for ((i = 0; i < count; i++)); do keys "$key"; done
}

# Types a path into the dialog the program has just opened and presses Return until it closes
# (the name box completes paths in a list, which takes the first Return).
type_path_and_return() {
  local text=$1 what=$2
  wait_for 20 "the $what dialog" find_dialog
  sleep 0.8
  # A window manager gives a new dialog the input focus; there is none on this display.
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  sleep 0.3
  shot "$what-dialog"
  note "$what dialog: $(xdotool getwindowname "$dialog")"
  replace_text_and_accept "$text" "$what"
}

# The Tab chain of the main window, from the top: Minimize, Close, Home, E-mail, Help, About,
# the start and end markers, Play, Pause, Stop, output type, profile, output folder, its
# button, the two check boxes, Options, the job list, Add, Remove, Clear, Convert.
keyboard_scenario() {
  if [ -n "$atspi_check" ]; then
    DBUS_SESSION_BUS_ADDRESS=$session_bus timeout 90 /usr/bin/python3 "$atspi_check" \
      >"$work/atspi.txt" 2>&1 || { cat "$work/atspi.txt"; fail "the accessibility tree"; }
    note "accessibility tree: $(grep -c . "$work/atspi.txt") objects, every control named"
  fi
  note "keyboard only from here"
  # A window manager gives a new window the input focus; there is none on this display.
  xdotool windowfocus --sync "$main_window" 2>/dev/null || true
  sleep 0.5
  local source
  for source in "$source_a" "$source_b"; do
    keys ctrl+o
    type_path_and_return "$source" "open-file"
    sleep 1
    shot "keyboard-added-$(basename "$source" | tr ' ' '_')"
  done
  # The focus is back on Add: Shift+Tab reaches the job list; Down and Up choose the first row.
  keys shift+Tab Down Up
  sleep 0.5
  # From the job list back to the start marker (AMR has no profiles: the profile list and
  # Options are disabled and skipped), 2 s later; Tab, then the end marker 1 s earlier.
  repeat_key 10 shift+Tab
  keys Right Right Tab Left
  sleep 0.5
  shot "keyboard-trimmed"
  # Play, Pause and Stop lie between the end marker and the output type list.
  repeat_key 4 Tab
  keys Down Down Tab Down # AMR -> AAC -> MP3; Normal -> Excellent Quality
  shot "keyboard-mp3-excellent"
  # The outputs go to the default output folder; Tab over it and its button to "Show output
  # directory when done", unchecked.
  keys Tab Tab Tab Tab space
  shot "keyboard-settings"
  keys ctrl+Return
  wait_for 60 "the progress window" window_named "Converting"
  shot "keyboard-converting"
  local deadline=$((SECONDS + 90))
  while window_named "Converting"; do
    [ $SECONDS -lt $deadline ] || fail "the conversion did not end within 90 s"
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended during the conversion"
    sleep 0.5
  done
  sleep 1
  shot "keyboard-converted"
  if find_dialog; then
    fail "a window \"$(xdotool getwindowname "$dialog")\" is open after the batch"
  fi
  output=$work/home/tonequill
  check_output "$output/first tone.mp3" 3 # from 2 s to 5 s of 6
  check_output "$output/second-tone.mp3" 4
  [ "$(ls -A "$output" | wc -l)" -eq 2 ] || fail "the output folder holds more than the two files: $(ls -A "$output")"
  [ ! -e "$opened" ] || fail "a file manager or browser was asked to open: $(cat "$opened")"
  grep -F "|parameter: " "$prefix/log.txt" | grep -F "$source_a" | grep -qF -- "-ss 00:00:02" ||
    fail "the first file's command line does not start at 2 s"
  # The focus came back to the check box; 15 Shift+Tabs reach the close button.
  repeat_key 15 shift+Tab
  keys space
}

mouse_scenario() {
# ---- add two files through the open-file dialog ----
for source in "$source_a" "$source_b"; do
  open_dialog 630 351 "open-file" # btnOpenFile
  type_into_dialog "$source" "open-file"
  settle_after_dialog
  sleep 1
  shot "added-$(basename "$source" | tr ' ' '_')"
done

# ---- play the first file in the preview and stop it: the logo goes and comes back ----
# Loading the file can take a while on a busy machine, and a double-click that comes while the
# window is still busy can go unseen: it is repeated, twice at most.
playing=0
for try in 1 2 3; do
  xdotool mousemove --window "$main_window" 150 372 # the first row of the job list
  sleep 0.25
  xdotool click --repeat 2 --delay 80 1
  deadline=$((SECONDS + 12))
  while [ $SECONDS -lt $deadline ]; do
    if pane_hides_logo; then
      playing=1
      break 2
    fi
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended while starting the preview"
    sleep 0.2
  done
  note "the preview did not start after double-click $try"
done
[ $playing -eq 1 ] || fail "the logo did not make way for the playing file"
shot "preview-playing"
click_at 125 318 # RzBmpButton1, the preview's Stop
wait_for 10 "the logo in the preview pane after Stop" pane_shows_logo
shot "preview-stopped"
note "preview pane after Stop: $(cat "$work/logo-match")"

# ---- MP3, "Excellent Quality" ----
pick_in_list 520 137 2 "output-type" # cbbOutputFiletype: AMR -> AAC -> MP3
pick_in_list 520 164 1 "profile"     # cbbProfile: Normal -> Excellent Quality

# ---- output folder ----
open_dialog 657 193 "output-folder" # btnSelectOutputFolder
type_into_dialog "$output" "output-folder"
settle_after_dialog
sleep 0.5
shot "output-folder-set"

# ---- no file manager at the end; the shutdown box stays unchecked ----
click_at 298 248 # chkShowOutputDirectory
shot "show-output-unchecked"

# ---- convert ----
click_at 630 468 # btnConvert
wait_for 60 "the progress window" window_named "Converting"
note "converting"
shot "converting"
deadline=$((SECONDS + 90))
middle_shot=0
while window_named "Converting"; do
  [ $SECONDS -lt $deadline ] || fail "the conversion did not end within 90 s"
  kill -0 "$app_pid" 2>/dev/null || fail "the program ended during the conversion"
  if [ $middle_shot -eq 0 ] && [ -s "$output/first tone.mp3" ]; then
    shot "converting-first-done"
    middle_shot=1
  fi
  sleep 0.5
done
sleep 1
shot "converted"
note "the batch has ended"
# A message box now would report failed files (or another fault); its screenshot tells which.
if find_dialog; then
  fail "a window \"$(xdotool getwindowname "$dialog")\" is open after the batch"
fi

# ---- the output files ----
check_output "$output/first tone.mp3" 6
check_output "$output/second-tone.mp3" 4
[ "$(ls -A "$output" | wc -l)" -eq 2 ] || fail "the output folder holds more than the two files: $(ls -A "$output")"

# ---- the log ----
log=$prefix/log.txt
[ -s "$log" ] || fail "no log.txt beside the installed program"
grep -qF "|Output directory $output" "$log" || fail "the log does not name the output folder"
for source in "$source_a" "$source_b"; do
  grep -F "|parameter: " "$log" | grep -qF "$source" ||
    fail "the log has no command line for $source"
done
grep -F "|parameter: " "$log" | grep -qF "$output/first tone.mp3" ||
  fail "the log's command line does not name the output $output/first tone.mp3"
if grep -E "error\. ->" "$log"; then
  fail "the log reports an error"
fi
[ ! -e "$opened" ] || fail "a file manager or browser was asked to open: $(cat "$opened")"
[ -d "$prefix/Config" ] || fail "Config/ is gone"

# ---- a second batch: Stop, and Convert again at once ----
# The end-of-job box is checked again, so a batch that reached its end would ask for the output
# folder. A Convert click while the stopped batch still winds down must start nothing.
click_at 298 248 # chkShowOutputDirectory
batches_before=$(grep -c "|parameter: " "$log")
click_at 630 468 # btnConvert
wait_for 60 "the progress window of the second batch" find_progress_window
sleep 0.3
shot "second-batch"
xdotool mousemove --window "$progress_window" 344 159 # btnStop
sleep 0.25
xdotool mousemove --window "$progress_window" 350 163
sleep 0.25
xdotool click 1
wait_for 10 "the question whether to stop" find_question
xdotool windowfocus --sync "$question" 2>/dev/null || true
sleep 0.3
shot "stop-question"
xdotool key Return
click_at 630 468 # btnConvert, right after the Stop
shot "convert-after-stop"
wait_for 10 "the progress window to go after Stop" no_window_named "Converting"
# The stopped batch winds down in a few seconds; a batch started by the second click would show
# its progress window again and add command lines to the log.
sleep 8
shot "after-stop"
! window_named "Converting" || fail "a batch runs after Stop and a second click on Convert"
batches_after=$(grep -c "|parameter: " "$log")
[ "$batches_after" -eq $((batches_before + 1)) ] ||
  fail "Stop and a second Convert gave $((batches_after - batches_before)) command lines, not the stopped one alone"
[ ! -e "$opened" ] || fail "the stopped batch ran its end-of-job actions: $(cat "$opened")"
if find_dialog; then
  fail "a window \"$(xdotool getwindowname "$dialog")\" is open after Stop"
fi
wait_for 10 "the logo in the preview pane after the stopped batch" pane_shows_logo
note "Stop and a second Convert: one stopped batch, no end-of-job action, no message box"

}

if [ $keyboard -eq 1 ]; then
  keyboard_scenario
else
  mouse_scenario
  # ---- close the program ----
  click_at 663 21 # btnWindowClose
fi
deadline=$((SECONDS + 30))
while kill -0 "$app_pid" 2>/dev/null; do
  [ $SECONDS -lt $deadline ] || fail "the program did not end after its close button"
  sleep 0.2
done
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
grep -qE "ERROR: (Address|Leak)Sanitizer|runtime error:" "$work/app.log" &&
  fail "a sanitizer reported a fault"
note "passed; screenshots in $shots"
