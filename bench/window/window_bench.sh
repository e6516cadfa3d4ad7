#!/usr/bin/env bash
# The game's frame in a real window, as the player pays for it: starts a
# virtual X display of each screen size with a window manager that makes the
# game full screen (as the end-to-end test does), runs tavrin-window-bench
# there and prints one table.
#
# Usage: bench/window/window_bench.sh BUILD_DIR [TICKS] [SCREEN...]
#   BUILD_DIR  a build folder holding bench/window/tavrin-window-bench and Data
#   TICKS      measured ticks per configuration (default 250, 5 s at 50 a second)
#   SCREEN     screen sizes, default 1024x768 1920x1080
# TAVRIN_BACKBUFFER (default 1024x768) is the back buffer, as the game's
# XResolution and YResolution set it.
set -uo pipefail
build=$(realpath "${1:?usage: window_bench.sh BUILD_DIR [TICKS] [SCREEN...]}")
ticks=${2:-250}
shift $(( $# < 2 ? $# : 2 ))
screens=("$@")
[ ${#screens[@]} -gt 0 ] || screens=(1024x768 1920x1080)
bench="$build/bench/window/tavrin-window-bench"
for tool in Xvfb matchbox-window-manager xdpyinfo; do
  command -v "$tool" >/dev/null 2>&1 || { echo "window_bench: $tool is missing" >&2; exit 1; }
done
[ -x "$bench" ] && [ -d "$build/Data" ] || { echo "window_bench: build $bench and Data first" >&2; exit 1; }

work=$(mktemp -d /tmp/tavrin-window-bench-XXXXXX)
xvfb_pid= wm_pid=
stop_display() {
  for pid in $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  xvfb_pid= wm_pid=
}
trap 'stop_display; rm -rf "$work"' EXIT

printf '%-10s %-9s %-9s %-7s %-4s %5s %8s %8s %8s %8s %7s %6s %6s\n' screen window backbuf scene view ticks \
  cpu-med cpu-mean main-med wall-med core draws inst
for screen in "${screens[@]}"; do
  rm -f "$work/display"
  exec 5>"$work/display"
  Xvfb -displayfd 5 -screen 0 "${screen}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "window_bench: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=:$(head -n1 "$work/display")
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  matchbox-window-manager -use_titlebar no >"$work/wm.log" 2>&1 &
  wm_pid=$!
  sleep 0.5
  (cd "$build" && "$bench" --ticks "$ticks" --backbuffer "${TAVRIN_BACKBUFFER:-1024x768}" --label "$screen") ||
    { echo "window_bench: the benchmark failed on $screen" >&2; exit 1; }
  stop_display
done
