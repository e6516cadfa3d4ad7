#!/usr/bin/env bash
# End-to-end run of the real game under a virtual X display with a window
# manager, driven by synthetic mouse and key events; every step is checked on
# the screen's pixels. A second run plays in a window (Fullscreen=false):
# its size, the letterbox as the window is resized, F11 both ways, and a
# screenshot equal to the window's pixels. The first game is recorded and
# checked: tavrin-sim verifies it and turns it into a script that plays the
# same game, and tavrin --replay shows the same pictures at two paused
# moments; a recording killed mid-game replays up to where it was cut.
# Usage: e2e.sh TAVRIN_BINARY DATA_DIR TAVRIN_SIM
# Exits 77 (skipped) when Xvfb, the window manager, xdotool or ImageMagick is
# missing; the windowed run needs openbox (matchbox keeps every window
# maximised) and is left out without it.
set -uo pipefail
game=$(realpath "$1" 2>/dev/null || echo "$1")
data=$(realpath "$2" 2>/dev/null || echo "$2")
sim=$3
. "$(dirname "$0")/xsession.sh"
if missing=$(x_missing Xvfb matchbox-window-manager xdotool xdpyinfo import convert compare); then
  echo "e2e: skipped, $missing is missing"
  exit 77
fi
if [ ! -x "$game" ] || [ ! -f "$data/Title.bmp" ]; then
  echo "e2e: skipped, the game or its Data folder is not built ($game, $data)"
  exit 77
fi

work=$(mktemp -d /tmp/tavrin-e2e-XXXXXX)
shots=${TAVRIN_E2E_SHOTS:-$work/shots}
mkdir -p "$shots"
xvfb_pid= wm_pid= game_pid=
cleanup() {
  for pid in $game_pid $wm_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null
  done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "e2e: FAILED: $*" >&2
  [ -f "$work/game.log" ] && sed 's/^/  game: /' "$work/game.log" >&2
  exit 1
}

# The screen is 1280 x 1024; the game's 1024 x 768 picture is scaled by 1.25
# to 1280 x 960 and centred, 32 rows of black above and below. sx/sy turn
# overlay units into screen pixels.
sx() { echo $(( $1 * 5 / 4 )); }
sy() { echo $(( 32 + $2 * 5 / 4 )); }

# Start the display and the window manager.
wm=matchbox
command -v openbox >/dev/null 2>&1 && wm=openbox
x_start "$work" $wm || fail "Xvfb did not start"
xvfb_pid=$X_XVFB_PID wm_pid=$X_WM_PID

mkdir -p "$work/run"
cp -r "$data" "$work/run/Data"
printf 'MouseSensitivity=200\r\nXResolution=1024\r\nYResolution=768\r\nShowHelp=false\r\n' >"$work/run/GameSettings.ini"

echo 0 >"$work/count"
shot() { # shot NAME: a screenshot, its path on stdout (numbered in order)
  local n=$(( $(cat "$work/count") + 1 ))
  echo $n >"$work/count"
  local f="$shots/$(printf %03d $n)-$1.png"
  import -window root "$f" 2>/dev/null || fail "no screenshot"
  echo "$f"
}
# pixel FILE U V: "r,g,b" at overlay position (U, V)
pixel() {
  convert "$1" -format "%[fx:int(255*p{$(sx "$2" 0),$(sy 0 "$3")}.r+.5)],%[fx:int(255*p{$(sx "$2" 0),$(sy 0 "$3")}.g+.5)],%[fx:int(255*p{$(sx "$2" 0),$(sy 0 "$3")}.b+.5)]" info:
}
# near "r,g,b" R G B: within 12 per channel
near() {
  local r g b
  IFS=, read -r r g b <<<"$1"
  local dr=$((r - $2)) dg=$((g - $3)) db=$((b - $4))
  [ ${dr#-} -le 12 ] && [ ${dg#-} -le 12 ] && [ ${db#-} -le 12 ]
}
# changed A B U V W H: how many pixels differ between two shots in the
# overlay rectangle (U, V, W x H)
changed() {
  local geometry="$(( $5 * 5 / 4 ))x$(( $6 * 5 / 4 ))+$(sx "$3" 0)+$(sy 0 "$4")"
  convert "$1" -crop "$geometry" +repage "$work/a.png"
  convert "$2" -crop "$geometry" +repage "$work/b.png"
  compare -metric AE -fuzz 8% "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1
}
# The virtual cursor follows relative motion from the top-left corner.
cursor_x=0 cursor_y=0
cursor_home() {
  xdotool mousemove_relative -- -3000 -3000
  sleep 0.1
  cursor_x=0 cursor_y=0
}
cursor_to() { # cursor_to U V, in steps the pointer can follow
  local dx=$(( $1 - cursor_x )) dy=$(( $2 - cursor_y ))
  while [ $dx -ne 0 ] || [ $dy -ne 0 ]; do
    local sx=$dx sy=$dy
    [ $sx -gt 100 ] && sx=100; [ $sx -lt -100 ] && sx=-100
    [ $sy -gt 100 ] && sy=100; [ $sy -lt -100 ] && sy=-100
    xdotool mousemove_relative -- $sx $sy
    dx=$((dx - sx)) dy=$((dy - sy))
    sleep 0.03
  done
  cursor_x=$1 cursor_y=$2
  sleep 0.1
}
click() { xdotool click "$1"; sleep 0.3; }
# await_change NAME BASE U V W H MIN: shots until one differs from BASE in
# more than MIN pixels of the rectangle, or 25 tries (a slow build shows a
# key's effect some frames late); the last shot's path on stdout, its count
# of changed pixels in $work/changed.
await_change() {
  local f d
  for _ in $(seq 25); do
    f=$(shot "$1")
    d=$(changed "$2" "$f" "$3" "$4" "$5" "$6")
    [ "$d" -gt "$7" ] && break
    sleep 0.2
  done
  echo "$d" >"$work/changed"
  echo "$f"
}

background="54 104 216" # the clear colour 0x3668D8

# F12's newest file, moved to $shots/NAME.png once written.
shots_dir="$work/run/Screenshots"
take_f12() {
  for _ in $(seq 50); do
    local png
    png=$(ls -t "$shots_dir"/tavrin-*.png 2>/dev/null | head -n1)
    if [ -n "$png" ]; then
      sleep 0.3
      mv "$png" "$shots/$1.png"
      return 0
    fi
    sleep 0.1
  done
  fail "F12 wrote no screenshot for $1"
}
# In the live game, paused after F12: its picture kept as live-NAME.png for
# the replay to compare, and the pause held long enough for the replay to be
# caught in it.
paused_names=
live_shot_kept() {
  take_f12 "live-$1"
  paused_names="$paused_names $1"
  sleep 4
}
live_pause() {
  xdotool key p
  sleep 0.4
  xdotool key F12
  live_shot_kept "$1"
  xdotool key p
  sleep 0.3
}

# 1. Start: the loading screen (the title on the blue background).
# Leak checking stays with the unit tests (which run the whole program on the
# recording device): here the system's display and driver libraries report
# their own allocations at exit.
(cd "$work/run" && ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 exec "$game") >"$work/game.log" 2>&1 &
game_pid=$!
seen_loading=
for _ in $(seq 200); do
  kill -0 $game_pid 2>/dev/null || fail "the game ended during start-up"
  f=$(shot loading)
  if near "$(pixel "$f" 40 40)" $background && ! near "$(pixel "$f" 512 384)" $background &&
     near "$(pixel "$f" 980 700)" $background; then
    seen_loading=$f
    break
  fi
  rm -f "$f"
  sleep 0.05
done
[ -n "$seen_loading" ] || fail "no loading screen"
echo "e2e: loading screen seen"

# 2. The map view: the control panel at the right edge, the map's grass.
seen_map=
for _ in $(seq 300); do
  kill -0 $game_pid 2>/dev/null || fail "the game ended during loading"
  f=$(shot map)
  if ! near "$(pixel "$f" 900 380)" $background && ! near "$(pixel "$f" 400 400)" $background; then
    seen_map=$f
    break
  fi
  rm -f "$f"
  sleep 0.1
done
[ -n "$seen_map" ] || fail "the map view never appeared"
echo "e2e: map view seen"
sleep 0.5

# 3. The Robots button: red's energy figure (at 140, 68) changes.
cursor_home
cursor_to 50 400
before=$(shot before-robots)
cursor_to 820 67
click 1
cursor_to 50 400
after=$(shot after-robots)
diff=$(changed "$before" "$after" 140 68 90 23)
[ "$diff" -gt 20 ] || fail "the energy figure did not change after Robots ($diff pixels)"
echo "e2e: Robots button changed the energy figure ($diff pixels)"

# 4. The Magnet tool, then a magnet beside the red factory (cells 32..33,
# 58..60): tried at a few free-looking places, each checked by the energy
# figure and, once the tool is dropped, by the magnet on the map.
cell_u() { echo $(( 102 + ($1 * 615 + 63) / 64 + 4 )); }
cell_v() { echo $(( 78 + ($1 * 615 + 63) / 64 + 4 )); }
built=
for cell in "29 58" "35 58" "32 55" "29 61" "35 61" "32 62"; do
  set -- $cell
  cursor_to 50 400
  ground=$(shot ground)
  cursor_to 895 67
  click 1
  cursor_to "$(cell_u "$1")" "$(cell_v "$2")"
  sleep 0.1
  cursor_to $(( $(cell_u "$1") + 1 )) "$(cell_v "$2")"
  cursor_to 50 400
  energy_before=$(shot energy)
  cursor_to "$(cell_u "$1")" "$(cell_v "$2")"
  click 1
  click 3
  cursor_to 50 400
  f=$(shot magnet)
  energy_diff=$(changed "$energy_before" "$f" 140 68 90 23)
  area_diff=$(changed "$ground" "$f" $(( $(cell_u "$1") - 4 )) $(( $(cell_v "$2") - 4 )) 19 19)
  echo "e2e: magnet at cell $1,$2: energy figure $energy_diff, area $area_diff pixels changed"
  if [ "$energy_diff" -gt 20 ] && [ "$area_diff" -gt 150 ]; then
    built=$cell
    break
  fi
done
[ -n "$built" ] || fail "no magnet could be built next to the red factory"
echo "e2e: magnet built at cell $built"

# 4b. Move magnets of three types (the pad's up-left, attract, down-right),
# the eraser on the first, then Clear; the replay's script checks them.
pad() { echo $(( 821 + 75 * ($1 % 3) )) $(( 193 + 59 * ($1 / 3) )); }
for case in "0 20 40" "4 24 40" "8 28 40"; do
  set -- $case
  cursor_to $(pad "$1")
  click 1
  cursor_to "$(cell_u "$2")" "$(cell_v "$3")"
  click 1
  click 3
done
cursor_to 820 370
click 1
cursor_to "$(cell_u 20)" "$(cell_v 40)"
click 1
click 3
cursor_to 895 370
click 1

# 5. Space: the walk view (no control panel, no map square); W walks.
map_view=$(shot map-view)
xdotool key space
walk=$(await_change walk "$map_view" 780 100 230 600 20000)
diff=$(cat "$work/changed")
[ "$diff" -gt 20000 ] || fail "Space did not switch to the walk view ($diff pixels)"
still=$(shot walk-still)
xdotool keydown w
sleep 0.6
xdotool keyup w
sleep 0.3
walked=$(shot walked)
quiet=$(changed "$walk" "$still" 0 100 1024 600)
moved=$(changed "$still" "$walked" 0 100 1024 600)
echo "e2e: walk view: $quiet pixels change while standing, $moved after walking with W"
[ "$moved" -gt 20000 ] && [ "$moved" -gt $(( quiet * 3 )) ] || fail "W did not move the camera"

# 6. F1 shows the help picture (599 x 212 at 24, 532), F1 again hides it.
xdotool key F1
help=$(await_change help "$walked" 24 532 599 212 30000)
diff=$(cat "$work/changed")
[ "$diff" -gt 30000 ] || fail "F1 did not show the help ($diff pixels)"
live_pause walk
xdotool key F1
nohelp=$(await_change no-help "$help" 24 532 599 212 30000)
diff=$(cat "$work/changed")
[ "$diff" -gt 30000 ] || fail "F1 again did not hide the help ($diff pixels)"
echo "e2e: F1 shows and hides the help"

# 7. P pauses: the map stands still under the "Paused" picture; P again and
# the robots move on. F12 writes the frame as Screenshots/tavrin-*.png.
xdotool key space
sleep 0.4
cursor_to 1000 760
xdotool key p
sleep 0.4
for _ in $(seq 5); do # until the pause has come
  paused=$(shot paused)
  sleep 1
  still=$(shot paused-still)
  frozen=$(changed "$paused" "$still" 102 78 615 615)
  [ "$frozen" -eq 0 ] && break
done
picture=$(changed "$map_view" "$paused" 362 350 300 68)
echo "e2e: paused: $frozen pixels of the map change in 1 s, the middle differs in $picture"
[ "$frozen" -eq 0 ] || fail "the paused map moved ($frozen pixels)"
[ "$picture" -gt 5000 ] || fail "no Paused picture ($picture pixels)"
xdotool key F12
live_shot_kept map
xdotool key p
sleep 1
moving=$(await_change moving "$still" 102 78 615 615 50)
moved=$(cat "$work/changed")
[ "$moved" -gt 50 ] || fail "P again did not resume the game ($moved pixels)"
png=$shots/live-map.png
[ "$(identify -format '%wx%h' "$png")" = 1024x768 ] || fail "the screenshot is not 1024 x 768"
grep -q "screenshot saved as 'Screenshots/tavrin-" "$work/game.log" || fail "the screenshot was not reported"
echo "e2e: P paused and resumed, F12 wrote the frame"

# 8. Escape ends the program with status 0.
xdotool key Escape
for _ in $(seq 100); do
  kill -0 $game_pid 2>/dev/null || break
  sleep 0.1
done
if kill -0 $game_pid 2>/dev/null; then
  fail "the game did not end on Escape"
fi
wait $game_pid
status=$?
game_pid=
[ $status -eq 0 ] || fail "the game ended with status $status"
echo "e2e: Escape ended the game with status 0"

# 9. The recording: tavrin-sim plays it to the recorded end; its script, red's
# actions as applied, plays the same game line for line.
replay=$(sed -n "s/^tavrin: replay saved as '\(.*\)'$/\1/p" "$work/game.log")
[ -n "$replay" ] && [ -f "$work/run/$replay" ] || fail "the game was not recorded"
replay=$work/run/$replay
"$sim" --replay "$replay" --verify >/dev/null 2>"$work/verify.txt" ||
  fail "the recording does not verify: $(cat "$work/verify.txt")"
"$sim" --replay "$replay" --every 100 --to-script "$work/red.txt" >"$work/replayed.txt" || fail "no script"
seed=$(sed -n 's/^# seed //p' "$work/red.txt")
ticks=$(tail -n1 "$work/replayed.txt" | cut -d' ' -f2)
"$sim" --seed "$seed" --ticks "$ticks" --every 100 --script "$work/red.txt" >"$work/scripted.txt" || fail "the script fails"
cmp -s "$work/replayed.txt" "$work/scripted.txt" || fail "the script plays another game: $(diff "$work/replayed.txt" "$work/scripted.txt" | head -n4)"
for action in robots magnet erase clear; do
  grep -q " $action" "$work/red.txt" || fail "no $action in the recorded script"
done
[ "$(grep -c ' move ' "$work/red.txt")" -ge 3 ] || fail "fewer than three move magnets in the recorded script"
echo "e2e: the recording verifies; its script ($(grep -vc '^#' "$work/red.txt") actions) plays the same $ticks ticks"

# 10. tavrin --replay: at each recorded pause (the "Paused" plate comes up
# after the one before has gone) the viewer's P holds it, and F12 gives the
# live game's picture pixel for pixel.
(cd "$work/run" && ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 exec "$game" --replay "$replay") >"$work/game.log" 2>&1 &
game_pid=$!
x_window $game_pid >/dev/null || fail "the replay showed no window"
plate() { near "$(pixel "$1" 353 384)" 16 16 24; } # the plate's dark rim
for name in $paused_names; do
  for want in gone shown; do
    seen=
    for _ in $(seq 600); do
      kill -0 $game_pid 2>/dev/null || fail "the replay ended before the pause '$name'"
      f=$(shot "replay-$name")
      if plate "$f"; then [ $want = shown ] && seen=1; else [ $want = gone ] && seen=1; fi
      rm -f "$f"
      [ -n "$seen" ] && break
    done
    [ -n "$seen" ] || fail "the replay never showed the pause '$name'"
  done
  xdotool key p
  sleep 0.4
  xdotool key F12
  take_f12 "replay-$name"
  xdotool key p
  differ=$(compare -metric AE "$shots/live-$name.png" "$shots/replay-$name.png" null: 2>&1 | cut -d' ' -f1)
  [ "$differ" = 0 ] || fail "the replay's picture at the pause '$name' differs in $differ pixels"
  echo "e2e: the replay shows the live picture at the pause '$name'"
done
x_quit $game_pid || fail "the replay did not end on Escape"
game_pid=
[ $X_STATUS -eq 0 ] || fail "the replay ended with status $X_STATUS"

# 11. A recording killed mid-game (after its first checkpoint at 3 s) replays
# up to where it was cut, in tavrin-sim and in the window.
rm -rf "$work/run/Replays"
(cd "$work/run" && ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 exec "$game") >"$work/game.log" 2>&1 &
game_pid=$!
x_window $game_pid >/dev/null || fail "the game to be killed showed no window"
for _ in $(seq 300); do
  [ -n "$(find "$work/run/Replays" -name '*.tvr' -size +100c 2>/dev/null)" ] && break
  sleep 0.1
done
sleep 2
kill -KILL $game_pid
wait $game_pid 2>/dev/null
game_pid=
killed=$(ls "$work/run/Replays"/*.tvr 2>/dev/null | head -n1)
[ -n "$killed" ] || fail "the killed game left no recording"
"$sim" --replay "$killed" >/dev/null 2>"$work/cut.txt"
[ $? -eq 1 ] || fail "a cut recording is not reported"
played=$(sed -n 's/.*; played \([0-9]*\) records to world tick.*/\1/p' "$work/cut.txt")
[ -n "$played" ] && [ "$played" -ge 150 ] || fail "the cut recording played too little: $(cat "$work/cut.txt")"
(cd "$work/run" && ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 exec "$game" --replay "$killed") >"$work/game.log" 2>&1 &
game_pid=$!
x_window $game_pid >/dev/null || fail "the cut replay showed no window"
for _ in $(seq 600); do
  grep -q "; played $played records to world tick" "$work/game.log" && break
  sleep 0.1
done
grep -q "; played $played records to world tick" "$work/game.log" || fail "the viewer did not say where the cut replay stopped"
x_quit $game_pid || fail "the cut replay did not end on Escape"
game_pid=
echo "e2e: a recording killed mid-game replays its $played checked records"

# 12. In a window (openbox keeps a window's size), with Replays=false. Positions are the window's
# own pixels, read with import -window.
if [ "$wm" != openbox ]; then
  echo "e2e: the windowed run skipped, openbox is missing"
  exit 0
fi
rm -rf "$work/run/Replays"
printf 'MouseSensitivity=200\nXResolution=1024\nYResolution=768\nShowHelp=false\nFullscreen=false\nReplays=false\n' \
  >"$work/run/GameSettings.ini"
(cd "$work/run" && ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 exec "$game") >"$work/game.log" 2>&1 &
game_pid=$!
window=$(x_window $game_pid) || fail "the windowed game showed no window"
geometry() { xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p'; }
wshot() { # wshot NAME: the window's pixels
  local f="$shots/win-$1.png"
  import -window "$window" "$f" 2>/dev/null || fail "no picture of the window"
  echo "$f"
}
wpixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }
# The map view, with the control panel: its colour at 900, 380 and the blue
# beside the map (a window not yet drawn at its size is black and white, the
# loading screen blue at both points).
wrgb() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r+.5)],%[fx:int(255*p{$2,$3}.g+.5)],%[fx:int(255*p{$2,$3}.b+.5)]" info:; }
panel="58 76 110"
for _ in $(seq 300); do
  f=$(wshot map)
  [ "$(identify -format '%wx%h' "$f")" = 1024x768 ] && near "$(wrgb "$f" 900 380)" $panel &&
    near "$(wrgb "$f" 40 40)" $background && break
  sleep 0.1
done
near "$(wrgb "$f" 900 380)" $panel || fail "the windowed game showed no map view"
[ "$(geometry)" = 1024x768 ] || fail "the window is $(geometry), not 1024x768"
echo "e2e: windowed: the window is 1024x768"

# Paused, the screenshot equals the window's pixels exactly (the picture is
# shown at its own size in a window of that size).
# The cursor's motion and the pause are waited for (a slow build takes
# them a few ticks late) until two pictures of the window agree.
rm -rf "$shots_dir"
xdotool mousemove_relative -- -3000 -3000
xdotool mousemove_relative 500 700
xdotool key p
before=$(wshot settling)
cp "$before" "$work/settled.png"
for _ in $(seq 100); do
  sleep 0.2
  now=$(wshot settling)
  [ "$(compare -metric AE "$work/settled.png" "$now" null: 2>&1 | cut -d' ' -f1)" = 0 ] && break
  cp "$now" "$work/settled.png"
done
xdotool key F12
for _ in $(seq 100); do # the game says so once the file is whole
  grep -q "screenshot saved as" "$work/game.log" && break
  sleep 0.1
done
png=$(ls "$shots_dir"/tavrin-*.png 2>/dev/null | head -n1)
[ -n "$png" ] || fail "F12 wrote no screenshot in the window"
screen=$(wshot paused)
differ=$(compare -metric AE "$png" "$screen" null: 2>&1 | cut -d' ' -f1)
[ "$differ" = 0 ] || fail "the screenshot differs from the window in $differ pixels"
echo "e2e: windowed: the screenshot equals the window's pixels"

# The letterbox follows the window's size: bars where the shape differs.
# Per size: a point that must be black (a bar) and one that must be picture.
for case in "800x800 400 40 400 400" "1200x600 60 300 600 300" "512x384 2 2 256 192"; do
  set -- $case
  xdotool windowsize "$window" "${1%x*}" "${1#*x}"
  for _ in $(seq 25); do # until the window has the size and is drawn at it
    sleep 0.2
    [ "$(geometry)" = "$1" ] || continue
    f=$(wshot "$1")
    bar=$(wpixel "$f" "$2" "$3") inside=$(wpixel "$f" "$4" "$5")
    { [ "$bar" = "srgb(0,0,0)" ] || [ "$1" = 512x384 ]; } && [ "$inside" != "srgb(0,0,0)" ] && break
  done
  [ "$(geometry)" = "$1" ] || fail "the window did not become $1 ($(geometry))"
  [ "$bar" = "srgb(0,0,0)" ] || [ "$1" = 512x384 ] || fail "$1: no black bar at $2,$3 ($bar)"
  [ "$inside" != "srgb(0,0,0)" ] || fail "$1: no picture at $4,$5"
done
echo "e2e: windowed: the letterbox follows the window's size"

# F11 fills the screen, F11 again gives back the window at the player's size.
has_geometry() { [ "$(geometry)" = "$1" ]; }
xdotool key F11
x_until 25 has_geometry 1280x1024
[ "$(geometry)" = 1280x1024 ] || fail "F11 did not fill the screen ($(geometry))"
xdotool key F11
x_until 25 has_geometry 512x384
[ "$(geometry)" = 512x384 ] || fail "F11 again did not give back the window ($(geometry))"
echo "e2e: windowed: F11 switches to the whole screen and back"
x_quit $game_pid || fail "the windowed game did not end on Escape"
game_pid=
[ $X_STATUS -eq 0 ] || fail "the windowed game ended with status $X_STATUS"
[ ! -e "$work/run/Replays" ] || fail "Replays=false still recorded the game"
echo "e2e: the windowed game ended with status 0, unrecorded"
exit 0
