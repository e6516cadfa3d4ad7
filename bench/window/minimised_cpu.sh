#!/usr/bin/env bash
# What the game costs when nobody sees it: runs the real game in a
# 1024 x 768 window under a virtual X display with a window manager that
# honours minimising (openbox), and prints the CPU of the whole process
# (every thread, from /proc) per second while the window is shown, while it
# is minimised, and shown again.
#
# Usage: bench/window/minimised_cpu.sh BUILD_DIR [SECONDS]
#   BUILD_DIR  a build folder holding app/tavrin and Data
#   SECONDS    the length of each measurement (default 10)
set -uo pipefail
build=$(realpath "${1:?usage: minimised_cpu.sh BUILD_DIR [SECONDS]}")
seconds=${2:-10}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tests/e2e/xsession.sh"
if missing=$(x_missing Xvfb openbox xdotool xdpyinfo); then
  echo "minimised_cpu: $missing is missing" >&2
  exit 1
fi
[ -x "$build/app/tavrin" ] && [ -f "$build/Data/Title.bmp" ] ||
  { echo "minimised_cpu: build app/tavrin and Data in $build first" >&2; exit 1; }

work=$(mktemp -d /tmp/tavrin-minimised-XXXXXX)
game_pid= X_WM_PID= X_XVFB_PID=
trap 'for p in $game_pid $X_WM_PID $X_XVFB_PID; do kill $p 2>/dev/null; done; wait 2>/dev/null; rm -rf "$work"' EXIT
x_start "$work" openbox || { echo "minimised_cpu: Xvfb did not start" >&2; exit 1; }
mkdir -p "$work/run"
ln -s "$build/Data" "$work/run/Data"
printf 'MouseSensitivity=200\nXResolution=1024\nYResolution=768\nShowHelp=true\nFullscreen=false\n' \
  >"$work/run/GameSettings.ini"
(cd "$work/run" && exec "$build/app/tavrin") >"$work/game.log" 2>&1 &
game_pid=$!
window=$(x_window $game_pid) || { echo "minimised_cpu: no window" >&2; cat "$work/game.log" >&2; exit 1; }
sleep 3 # past loading

ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$game_pid/stat"; }
measure() { # LABEL: CPU ms per second over the measurement
  local before after
  before=$(cpu_ticks)
  sleep "$seconds"
  after=$(cpu_ticks)
  awk -v label="$1" -v d=$((after - before)) -v hz="$ticks_per_second" -v s="$seconds" \
    'BEGIN { printf "%-10s %7.1f ms of CPU per second (%4.1f %% of a core)\n", label, 1000 * d / hz / s, 100 * d / hz / s }'
}
measure shown
xdotool windowminimize "$window"
sleep 1
measure minimised
xdotool windowactivate "$window" 2>/dev/null || xdotool windowmap "$window"
sleep 1
measure restored
xdotool key --window "$window" Escape
wait $game_pid
game_pid=
