#!/usr/bin/env bash
# A long game driven at random under a virtual X display: clicks on the
# control panel and the map, mouse movement, the keys Space, F1, W, A, S, D,
# P, +, -, F11 and F12, a second window taking the focus and giving it back,
# and the window minimised and restored. Meant for the sanitized build.
#
# Usage: soak.sh SECONDS [TAVRIN_BINARY DATA_DIR]
#   (default: build/asan/app/tavrin and build/asan/Data of this checkout)
# Fails on a crash or an early end, a sanitizer report (AddressSanitizer,
# UndefinedBehaviorSanitizer, and LeakSanitizer's for memory that the game's
# own code allocated), an exit status other than 0 after Escape, or a
# resident size that grows by more than 10 % after the first minute (after
# the first half for runs shorter than two minutes; the end taken as the
# median of the last three samples). Leaks whose allocation
# has no frame of the game's code are counted and shown, not failed: the
# system's libraries keep some memory to the end of the process (D-Bus, used
# by SDL, never frees its globals), and without frame pointers in them their
# stacks stop short. Prints what it sent and the resident size over time. Exits 77
# (skipped) when Xvfb, a window manager or xdotool is missing.
set -uo pipefail
seconds=${1:?usage: soak.sh SECONDS [TAVRIN_BINARY DATA_DIR]}
root=$(cd "$(dirname "$0")/../.." && pwd)
game=$(realpath "${2:-$root/build/asan/app/tavrin}" 2>/dev/null || echo "${2:-}")
data=$(realpath "${3:-$root/build/asan/Data}" 2>/dev/null || echo "${3:-}")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../e2e/xsession.sh"
if missing=$(x_missing Xvfb matchbox-window-manager xdotool xdpyinfo xmessage); then
  echo "soak: skipped, $missing is missing"
  exit 77
fi
if [ ! -x "$game" ] || [ ! -f "$data/Title.bmp" ]; then
  echo "soak: skipped, the game or its Data folder is not built ($game, $data)"
  exit 77
fi

work=$(mktemp -d /tmp/tavrin-soak-XXXXXX)
game_pid= other_pid=
cleanup() {
  for pid in $other_pid $game_pid $X_WM_PID $X_XVFB_PID; do
    kill "$pid" 2>/dev/null
  done
  wait 2>/dev/null
  rm -rf "$work"
}
X_WM_PID= X_XVFB_PID=
trap cleanup EXIT
fail() {
  echo "soak: FAILED: $*" >&2
  [ -f "$work/game.log" ] && tail -n 60 "$work/game.log" | sed 's/^/  game: /' >&2
  exit 1
}

wm=matchbox
command -v openbox >/dev/null 2>&1 && wm=openbox
x_start "$work" $wm || fail "Xvfb did not start"
mkdir -p "$work/run"
ln -s "$data" "$work/run/Data"
printf 'MouseSensitivity=200\nXResolution=1024\nYResolution=768\nShowHelp=true\nPauseOnFocusLoss=true\n' \
  >"$work/run/GameSettings.ini"

# LeakSanitizer reports without changing the exit status; the report is
# read below. AddressSanitizer holds freed memory back (256 MB by default),
# filling that quarantine over minutes, which would read as growth: a small
# one fills within the first minute.
export ASAN_OPTIONS="quarantine_size_mb=32:${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="exitcode=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$work/run" && exec "$game") >"$work/game.log" 2>&1 &
game_pid=$!
window=$(x_window $game_pid) || fail "the game showed no window"

rss() { awk '/^VmRSS:/ {print $2}' "/proc/$game_pid/status" 2>/dev/null; }
declare -A sent=()
count() { sent[$1]=$(( ${sent[$1]:-0} + 1 )); }
keys=(space F1 w a s d p plus minus F11 F12)
start=$SECONDS
baseline_at=60
[ "$seconds" -lt 120 ] && baseline_at=$(( seconds / 2 ))
baseline= peak=0 next_sample=0 samples=()
echo "soak: ${seconds}s of random input, $wm, resident size baseline at ${baseline_at}s"
# Every kind of input once at the start, so that what the game and the
# renderer keep at their high-water mark (a full queue of screenshots, both
# window sizes, both views, the help) is reached before the baseline.
sleep 5
for key in F12 F12 F12 F12 F12 F11 F11 space F1 space F1; do
  xdotool key $key
  sleep 1
done
while [ $(( SECONDS - start )) -lt "$seconds" ]; do
  kill -0 $game_pid 2>/dev/null || fail "the game ended after $(( SECONDS - start ))s"
  elapsed=$(( SECONDS - start ))
  if [ "$elapsed" -ge "$next_sample" ]; then
    kb=$(rss)
    echo "soak: ${elapsed}s resident ${kb} kB"
    if [ "$elapsed" -ge "$baseline_at" ]; then
      [ -z "$baseline" ] && baseline=$kb
      [ "$kb" -gt "$peak" ] && peak=$kb
      samples+=("$kb")
    fi
    next_sample=$(( elapsed + (seconds > 120 ? 30 : 10) ))
  fi
  r=$(( RANDOM % 100 ))
  if [ $r -lt 30 ]; then # a click somewhere (panel or map), left or right
    xdotool mousemove_relative -- $(( RANDOM % 601 - 300 )) $(( RANDOM % 601 - 300 ))
    button=1
    [ $(( RANDOM % 4 )) -eq 0 ] && button=3
    xdotool click $button
    count click
  elif [ $r -lt 50 ]; then # the mouse moves
    for _ in 1 2 3; do
      xdotool mousemove_relative -- $(( RANDOM % 81 - 40 )) $(( RANDOM % 81 - 40 ))
    done
    count move
  elif [ $r -lt 90 ]; then # a key, the walking keys held a while
    key=${keys[$(( RANDOM % ${#keys[@]} ))]}
    case $key in
      w|a|s|d) xdotool keydown $key; sleep 0.$(( RANDOM % 5 )); xdotool keyup $key ;;
      *) xdotool key $key ;;
    esac
    count "$key"
  elif [ $r -lt 96 ]; then # another window takes the focus, then gives it back
    xmessage -geometry +40+40 "another window" >/dev/null 2>&1 &
    other_pid=$!
    sleep 0.5
    other=$(xdotool search --onlyvisible --pid $other_pid 2>/dev/null | head -n1)
    [ -n "$other" ] && xdotool windowactivate "$other" 2>/dev/null
    sleep 0.5
    kill $other_pid 2>/dev/null
    wait $other_pid 2>/dev/null
    other_pid=
    xdotool windowactivate "$window" 2>/dev/null
    count focus
  else # minimised a while, then restored
    xdotool windowminimize "$window" 2>/dev/null
    sleep 1
    xdotool windowactivate "$window" 2>/dev/null
    count minimise
  fi
  sleep 0.0$(( RANDOM % 8 + 2 ))
done

summary=
for k in "${!sent[@]}"; do summary+=" $k=${sent[$k]}"; done
echo "soak: sent$summary"
shots=$(ls "$work/run/Screenshots" 2>/dev/null | wc -l)
echo "soak: $shots screenshots written"
final=$(rss)
[ -n "$baseline" ] && [ "$final" -gt "$peak" ] && peak=$final
samples+=("$final")
# The end: the median of the last three samples, so that one moment's
# screenshots or window size does not count as growth.
ending=$(printf '%s\n' "${samples[@]: -3}" | sort -n | sed -n "$(( (${#samples[@]} < 3 ? ${#samples[@]} : 3) / 2 + 1 ))p")
echo "soak: resident ${final} kB at the end (${ending} kB the median of the last three samples); baseline ${baseline:-none} kB, peak after it ${peak} kB"

xdotool windowactivate "$window" 2>/dev/null
x_quit $game_pid || fail "the game did not end on Escape"
status=$X_STATUS
game_pid=
if grep -qE 'ERROR: AddressSanitizer|runtime error:|SUMMARY: UndefinedBehaviorSanitizer' "$work/game.log"; then
  fail "a sanitizer reported"
fi
# Each leak of LeakSanitizer's report: ours when a frame lies in the game's
# sources or binary.
read -r ours theirs < <(awk -v root="$root/" -v game="$game" '
  function close_leak() { if (inleak) { if (mine) o++; else t++ } inleak = 0 }
  /^(Direct|Indirect) leak of/ { close_leak(); inleak = 1; mine = 0; next }
  inleak && /^ *#[0-9]/ { if (index($0, root) || index($0, game)) mine = 1; next }
  inleak && !/^ *#[0-9]/ { close_leak() }
  END { close_leak(); print o + 0, t + 0 }' "$work/game.log")
echo "soak: leaks at the end: $ours from the game's code, $theirs kept by system libraries"
[ "$ours" -eq 0 ] || fail "the game's code leaked"
[ $status -eq 0 ] || fail "the game ended with status $status"
if [ -n "$baseline" ] && [ $(( ending * 10 )) -gt $(( baseline * 11 )) ]; then
  fail "the resident size grew from $baseline kB to $ending kB"
fi
echo "soak: passed: no crash, no sanitizer report, status 0, resident size within 10 % of ${baseline:-?} kB"
exit 0
