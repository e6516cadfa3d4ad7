# A virtual X display with a window manager, for the scripts that run the
# real game (source it). Never a fixed display number: Xvfb picks a free one.
#
#   x_missing TOOL...  prints the first tool that is not installed (status 0),
#                      or nothing (status 1)
#   x_start WORK [WM]  starts Xvfb (1280 x 1024 x 24) and a window manager
#                      (matchbox, or WM: openbox, which also keeps windows
#                      at their size), exports DISPLAY, sets X_XVFB_PID and
#                      X_WM_PID; status 1 when the display does not come up.
#                      Logs go to WORK.
#   x_window PID       waits until the process shows its window "Tavrin" and
#                      prints the window's id; status 1 when the process
#                      ends first or no window comes within 60 s
#   x_quit PID         presses Escape until the process ends (within 2 min)
#                      and sets X_STATUS to its exit status; status 1 when
#                      it does not end
#   x_until TRIES CMD... runs CMD every 0.2 s until it succeeds (status 0)
#                      or TRIES runs failed (status 1)

x_missing() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "$tool"
      return 0
    fi
  done
  return 1
}

x_start() {
  local work=$1 wm=${2:-matchbox}
  exec 5>"$work/display"
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  X_XVFB_PID=$!
  exec 5>&-
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || return 1
  export DISPLAY=:$(head -n1 "$work/display")
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  if [ "$wm" = openbox ]; then
    openbox >"$work/wm.log" 2>&1 &
  else
    matchbox-window-manager -use_titlebar no >"$work/wm.log" 2>&1 &
  fi
  X_WM_PID=$!
  sleep 0.5
}

x_window() {
  local pid=$1 window
  for _ in $(seq 600); do
    kill -0 "$pid" 2>/dev/null || return 1
    window=$(xdotool search --onlyvisible --name '^Tavrin$' 2>/dev/null | head -n1)
    if [ -n "$window" ]; then
      echo "$window"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

x_until() {
  local tries=$1
  shift
  for _ in $(seq "$tries"); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}

x_quit() {
  local pid=$1
  for _ in $(seq 600); do
    kill -0 "$pid" 2>/dev/null || break
    xdotool key Escape
    sleep 0.2
  done
  kill -0 "$pid" 2>/dev/null && return 1
  wait "$pid"
  X_STATUS=$?
  return 0
}
