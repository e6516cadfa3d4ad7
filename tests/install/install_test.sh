#!/usr/bin/env bash
# The installed game as a player meets it: installs the build into a staging
# folder (DESTDIR, prefix /usr), checks what lands where, runs the staged
# `tavrin` from an empty folder with an empty HOME and the XDG folders in a
# temporary folder, then (under Xvfb with the window manager of the
# end-to-end test) plays and quits it, again after moving the installation,
# and with folders it cannot use.
# Usage: install_test.sh BUILD_DIR VERSION APP_ID
# Exits 77 (skipped) when the build has no game or Xvfb, the window manager
# or xdotool is missing, after the checks that need no display.
set -uo pipefail
build=$(realpath "$1")
version=$2
app_id=$3
if [ ! -x "$build/app/tavrin" ]; then
  echo "install: skipped, the game is not built"
  exit 77
fi
. "$(dirname "$0")/../e2e/xsession.sh"

work=$(mktemp -d /tmp/tavrin-install-XXXXXX)
game_pid= X_XVFB_PID= X_WM_PID=
cleanup() {
  for pid in $game_pid $X_WM_PID $X_XVFB_PID; do
    kill "$pid" 2>/dev/null
  done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "install: FAILED: $*" >&2
  for f in "$work"/out "$work"/err; do
    [ -f "$f" ] && sed "s|^|  $(basename "$f"): |" "$f" >&2
  done
  exit 1
}

# 1. The staged installation.
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; fail "cmake --install failed"; }
usr=$work/stage/usr
for f in bin/tavrin bin/tavrin-sim bin/tavrin-dat share/applications/$app_id.desktop \
         share/metainfo/$app_id.metainfo.xml share/man/man6/tavrin.6 \
         share/tavrin/Data/Title.bmp share/tavrin/Data/RedRobot.dat; do
  [ -f "$usr/$f" ] || fail "the installation lacks $f"
done
for size in 16 32 48 64 128 256; do
  [ -f "$usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png" ] || fail "no ${size}x${size} icon"
done
count=$(ls "$usr/share/tavrin/Data" | wc -l)
[ "$count" -ge 31 ] || fail "the installed Data holds $count files"
[ -z "$(find "$work/stage" -mindepth 1 -maxdepth 1 ! -name usr)" ] || fail "files outside the prefix"
echo "install: staged under $work/stage/usr ($count data files)"

# 2. The command line, from an empty folder with an empty HOME.
mkdir -p "$work/home" "$work/empty"
export HOME=$work/home XDG_CONFIG_HOME=$work/xdg/config XDG_DATA_HOME=$work/xdg/data XDG_STATE_HOME=$work/xdg/state
unset XDG_RUNTIME_DIR
cd "$work/empty"
run() { # run ARGS...: the staged game; status in $status, output in out/err
  "$game" "$@" >"$work/out" 2>"$work/err"
  status=$?
}
game=$usr/bin/tavrin
run --version
[ $status -eq 0 ] && [ "$(cat "$work/out")" = "tavrin $version" ] || fail "--version"
run --help
[ $status -eq 0 ] && grep -q '^usage: tavrin' "$work/out" && [ ! -s "$work/err" ] || fail "--help"
for args in "--full-screen" "--data" "--settings" "extra" "--data="; do
  run $args
  [ $status -eq 2 ] && grep -q '^usage: tavrin' "$work/err" || fail "'$args' did not end with the usage and status 2"
done
[ ! -e "$work/xdg" ] && [ -z "$(find "$work/empty" "$work/home" -mindepth 1)" ] || fail "the command line alone wrote files"
echo "install: --version, --help and mistakes on the command line"

# 3. Runs that end before any window: each status and first message.
mkdir -p "$work/folder.ini"
printf 'x' >"$work/a-file"
check_refusal() { # what STATUS TEXT -- ARGS...
  local what=$1 want=$2 text=$3
  shift 4
  run "$@"
  [ $status -eq "$want" ] || fail "$what: status $status"
  grep -qF -- "$text" "$work/err" || fail "$what: no '$text'"
}
check_refusal "settings that are a folder" 1 "File not found: '$work/folder.ini'" -- --settings "$work/folder.ini"
grep -q "is a folder" "$work/err" || fail "settings that are a folder: no reason given"
check_refusal "settings that do not exist" 1 "File not found: '$work/none.ini'" -- --settings "$work/none.ini"
grep -qF "File not found: '$work/none.ini'" "$XDG_STATE_HOME/tavrin/tavrin.log" || fail "the log lacks the refusal"
check_refusal "data that is a file" 1 "the data folder '$work/a-file' is not a folder" -- --data "$work/a-file"
rm -rf "$work/xdg"
game=$build/app/tavrin
check_refusal "a build tree with no settings" 1 "tavrin: File not found: 'GameSettings.ini'" --
[ "$(head -n1 "$work/err")" = "tavrin: File not found: 'GameSettings.ini'" ] || fail "the design's message is not first"
grep -qF "looked in './GameSettings.ini', '$XDG_CONFIG_HOME/tavrin/GameSettings.ini'" "$work/err" ||
  fail "the places looked are not listed"
[ ! -e "$work/xdg" ] || fail "a build tree wrote to the XDG folders"
echo "install: refusals before any window"

if missing=$(x_missing Xvfb matchbox-window-manager xdotool xdpyinfo xprop); then
  echo "install: the runs with a window skipped, $missing is missing"
  exit 77
fi
x_start "$work" || fail "Xvfb did not start"

# play ARGS...: starts the staged game, waits for its window "Tavrin", then
# presses Escape until it ends (Escape counts once loading is done). With
# $await set (a command), first waits up to 60 s until it succeeds. The
# status is in $status, the window's class in $wm_class.
play() {
  ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 "$game" "$@" >"$work/out" 2>"$work/err" &
  game_pid=$!
  local window
  window=$(x_window $game_pid) || fail "no window 'Tavrin'"
  wm_class=$(xprop -id "$window" WM_CLASS 2>/dev/null)
  [ -z "${await:-}" ] || x_until 300 $await
  x_quit $game_pid || fail "the game did not end on Escape"
  status=$X_STATUS
  game_pid=
}
settings=$XDG_CONFIG_HOME/tavrin/GameSettings.ini
log=$XDG_STATE_HOME/tavrin/tavrin.log
defaults=$'MouseSensitivity=200\nXResolution=1024\nYResolution=768\nShowHelp=true\nFullscreen=true\nVSync=true\nPauseOnFocusLoss=false\nInvertMouseY=false\nReplays=true'

# 4. First run: the defaults written under the XDG config folder, a log, and
# the replay, which is made at the first tick (so the run lasts until then:
# Escape before it would leave nothing to record).
game=$usr/bin/tavrin
replays=$XDG_DATA_HOME/tavrin/Replays
replay_made() { ls "$replays"/tavrin-*.tvr >/dev/null 2>&1; }
await=replay_made play
[ $status -eq 0 ] || fail "the first run ended with status $status"
[ "$(cat "$settings" 2>/dev/null)" = "$defaults" ] || fail "no default settings at $settings"
grep -qF "wrote the defaults to '$settings'" "$work/err" || fail "the first run did not say where it wrote the settings"
grep -qF "wrote the defaults to '$settings'" "$log" || fail "the log lacks the run's messages"
grep -q "ended with status 0" "$log" || fail "the log does not end with the status"
[[ "$wm_class" == *"\"$app_id\""* ]] || fail "the window's class is not the application id: $wm_class"
[ -z "$(ls -A "$work/empty")" ] || fail "the installed run wrote into the current folder"
ls "$replays"/tavrin-*.tvr >/dev/null 2>&1 || fail "the game was not recorded under XDG_DATA_HOME"
grep -qF "replay saved as '$replays/tavrin-" "$work/err" || fail "the replay was not finished at the end"
echo "install: the first run wrote the default settings, a log and its replay, Escape ended it with 0"

# 5. Second run, after moving the installation: the settings are read, the
# log of the first run is kept.
mv "$work/stage" "$work/moved"
game=$work/moved/usr/bin/tavrin
printf 'ShowHelp=false\n' >>"$settings"
play
[ $status -eq 0 ] || fail "the moved installation ended with status $status"
# (Xvfb has no retrace to wait for, and every game says where its replay is.)
! grep -v -e 'playing without VSync' -e 'replay saved as' "$work/err" | grep -q '^tavrin:' || fail "the second run said something"
[ -f "$log.1" ] && grep -q "wrote the defaults" "$log.1" || fail "the first run's log was not kept"
grep -q "ended with status 0" "$log" || fail "no log of the second run"
echo "install: the moved installation read its settings and kept the last log"

# 6. Folders it cannot use: it says so and plays.
rm -rf "$work/xdg"
printf 'x' >"$work/xdg-file"
XDG_CONFIG_HOME=$work/xdg-file XDG_STATE_HOME=$work/xdg-file XDG_DATA_HOME=$work/xdg-file play
[ $status -eq 0 ] || fail "unusable XDG folders: status $status"
grep -q "cannot write the log" "$work/err" && grep -q "cannot write the default settings" "$work/err" ||
  fail "unusable XDG folders were not reported"
(
  unset HOME XDG_CONFIG_HOME XDG_STATE_HOME XDG_DATA_HOME
  play
  exit $status
)
status=$?
[ $status -eq 0 ] || fail "no HOME: status $status"
grep -q "neither HOME nor XDG_CONFIG_HOME" "$work/err" && grep -q "playing with the default settings" "$work/err" ||
  fail "a missing HOME was not reported"
echo "install: unusable folders and no HOME are reported, and the game plays"
exit 0
