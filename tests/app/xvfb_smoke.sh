#!/usr/bin/env bash
# Smoke test of the real program under a real X server (Xvfb), driven with xdotool:
#   keypad + over the zoom meter changes the zoom meter, a typed formula and Enter append a line
#   to the history file, Esc ends the program with status 0.
# Usage: xvfb_smoke.sh PROGRAM CHECKSUM_TOOL. Exits 77 (skipped) without Xvfb or xdotool.
set -u
program=$1
checksum=$2

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed (scripts/debian-packages lists it)"
    exit 77
  fi
done

fail() {
  echo "FAIL: $*"
  exit 1
}

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A display number that nobody uses.
display=""
for n in $(seq 71 99); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
    display=":$n"
    break
  fi
done
[ -n "$display" ] || { echo "SKIP: no free X display number"; exit 77; }

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -e "/tmp/.X11-unix/X${display#:}" ]; then
  echo "SKIP: Xvfb could not start"
  cat "$work/xvfb.log"
  exit 77
fi

export DISPLAY=$display
unset QT_QPA_PLATFORM WAYLAND_DISPLAY FUNZIONI_EDITOR
cd "$work" || exit 1
"$program" >"$work/app.log" 2>&1 &
app_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name 'Funzioni Quilvar Soft' | head -1)
[ -n "$window" ] || fail "the window did not appear"
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 974 ] && [ "$HEIGHT" = 720 ] || fail "client area is ${WIDTH}x${HEIGHT}, not 974x720"

zoom_meter() { QT_QPA_PLATFORM=xcb "$checksum" $((X + 606)) $((Y + 564)) 364 20; }
plot_area() { QT_QPA_PLATFORM=xcb "$checksum" $((X + 4)) $((Y + 4)) 600 600; }

# The opening animation has ended once the plotting area stays the same (the handler takes no
# keys while it runs).
last=""
for _ in $(seq 100); do
  sleep 0.2
  now=$(plot_area) || fail "cannot read the screen"
  [ "$now" = "$last" ] && break
  last=$now
done

# Keypad + with the pointer over the zoom meter.
xdotool mousemove $((X + 606 + 182)) $((Y + 564 + 10))
sleep 0.3
before=$(zoom_meter) || fail "cannot read the screen"
xdotool key KP_Add
for _ in $(seq 100); do
  after=$(zoom_meter)
  [ "$before" != "$after" ] && break
  sleep 0.1
done
[ "$before" != "$after" ] || fail "keypad + over the zoom meter changed nothing"
echo "zoom meter before: $before, after keypad +: $after"

# A formula typed into the formula box and Enter.
xdotool mousemove $((X + 606 + 181)) $((Y + 536 + 11)) click 1
sleep 0.3
xdotool type --delay 40 'x^2+1'
xdotool key Return
for _ in $(seq 30); do
  [ -s espressioni.txt ] && break
  sleep 0.1
done
[ -f espressioni.txt ] || fail "Enter wrote no history file"
expected=$(printf 'x^2+1\r\n' | od -An -c)
actual=$(od -An -c espressioni.txt)
[ "$actual" = "$expected" ] || fail "history file holds:$actual"
echo "history file: x^2+1 CR LF"

# Esc ends the program.
xdotool key Escape
for _ in $(seq 50); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
  fail "Esc did not end the program"
fi
wait "$app_pid"
status=$?
app_pid=""
[ "$status" = 0 ] || fail "the program ended with status $status"
echo "Esc ended the program with status 0"
echo "1 passed, 0 failed"
