#!/usr/bin/env bash
# Screenshots of the six tabs for the README: builds the program, starts it on
# SIM (the built-in simulated controller) in a virtual X display, connects,
# visits every tab with the keyboard and writes docs/screenshots/*.png.
# Needs Xvfb, xdotool and ImageMagick's import (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target VORNadcC
app=$PWD/build/src/app/VORNadcC
out=docs/screenshots
mkdir -p "$out"

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Fresh settings for every run, so the pictures show the defaults.
mkdir -p "$work/config/VORNadcC"
printf '[Setup]\r\nComPort=SIM\r\n' >"$work/config/VORNadcC/VORNadcC.INI"

# Xvfb picks a free display number and writes it to the descriptor we give it.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
exec 3>&-
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"

XDG_CONFIG_HOME="$work/config" "$app" >"$work/app.log" 2>&1 &
app_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^VORN ADC Communication$' | head -n 1)
[ -n "$window" ] || { echo "the sheet did not appear" >&2; cat "$work/app.log" >&2; exit 1; }
xdotool windowfocus --sync "$window"
sleep 1

shot() {
  sleep 1
  import -window "$window" "$out/$1.png"
  echo "$out/$1.png"
}

xdotool key alt+c # Connect, on SIM
sleep 2
shot 1-rs232-setup

xdotool key ctrl+Tab
sleep 1
xdotool type --delay 50 'RC' # a command for the terminal: the stored calibration
xdotool key Return
shot 2-terminal

for name in 3-wavelength-protocol 4-calibration 5-triple-band-calibration 6-set-wavelength; do
  xdotool key ctrl+Tab
  shot "$name"
done
