#!/usr/bin/env bash
# End-to-end run of the real game under a virtual X display with a window
# manager, driven by synthetic mouse and key events; every step is checked on
# the screen's pixels. Usage: e2e.sh TAVRIN_BINARY DATA_DIR
# Exits 77 (skipped) when Xvfb, the window manager, xdotool or ImageMagick is
# missing.
set -uo pipefail
game=$(realpath "$1" 2>/dev/null || echo "$1")
data=$(realpath "$2" 2>/dev/null || echo "$2")
for tool in Xvfb matchbox-window-manager xdotool xdpyinfo import convert compare; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "e2e: skipped, $tool is missing"
    exit 77
  fi
done
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

# Start the display, find its number, then the window manager.
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -n1 "$work/display")
for _ in $(seq 50); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
matchbox-window-manager -use_titlebar no >"$work/wm.log" 2>&1 &
wm_pid=$!
sleep 0.5

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

background="54 104 216" # the clear colour 0x3668D8

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

# 5. Space: the walk view (no control panel, no map square); W walks.
map_view=$(shot map-view)
xdotool key space
sleep 0.5
walk=$(shot walk)
diff=$(changed "$map_view" "$walk" 780 100 230 600)
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
sleep 0.4
help=$(shot help)
diff=$(changed "$walked" "$help" 24 532 599 212)
[ "$diff" -gt 30000 ] || fail "F1 did not show the help ($diff pixels)"
xdotool key F1
sleep 0.4
nohelp=$(shot no-help)
diff=$(changed "$help" "$nohelp" 24 532 599 212)
[ "$diff" -gt 30000 ] || fail "F1 again did not hide the help ($diff pixels)"
echo "e2e: F1 shows and hides the help"

# 7. Escape ends the program with status 0.
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
exit 0
