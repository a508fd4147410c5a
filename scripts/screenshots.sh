#!/usr/bin/env bash
# Screenshots of the six tabs for the README: builds the program, starts it on
# SIM (the built-in simulated controller) in a virtual X display, connects,
# visits every tab with the keyboard and writes docs/screenshots/*.png; then
# the two calibration tabs once more at screen scale 2 (QT_SCALE_FACTOR=2).
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

# Xvfb picks a free display number and writes it to the descriptor we give it;
# the screen is high enough for the sheet at twice the size.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1280x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
exec 3>&-
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"

scale=1
window=

# Starts the program on SIM with fresh settings (so the pictures show the
# defaults) at the screen scale $scale, and connects.
start_app() {
  rm -rf "$work/config"
  mkdir -p "$work/config/VORNadcC"
  printf '[Setup]\r\nComPort=SIM\r\n' >"$work/config/VORNadcC/VORNadcC.INI"
  QT_SCALE_FACTOR=$scale XDG_CONFIG_HOME="$work/config" "$app" >"$work/app.log" 2>&1 &
  app_pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^VORN ADC Communication$' | head -n 1)
  [ -n "$window" ] || { echo "the sheet did not appear" >&2; cat "$work/app.log" >&2; exit 1; }
  xdotool windowfocus --sync "$window"
  sleep 1
  xdotool key alt+c # Connect, on SIM
  sleep 2
}

stop_app() {
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=
}

shot() {
  sleep 1
  import -window "$window" "$out/$1.png"
  echo "$out/$1.png"
}

# Moves the pointer to X, Y dialog units on the displayed page. With the
# DejaVu font that Xvfb gets here, a dialog unit is 1.76 pixels and the page's
# origin lies at (13, 66) in the window, both times the screen scale.
point_du() {
  xdotool mousemove --window "$window" "$(((13 * 100 + $1 * 176) * scale / 100))" \
    "$(((66 * 100 + $2 * 176) * scale / 100))"
}

# Clicks the control whose centre lies at X, Y dialog units.
click_du() {
  point_du "$1" "$2"
  xdotool click 1
  sleep 0.3
}

# Switches tabs with KEY and waits: a key pressed while a tab reads from the
# controller is dropped, as the program drops all input made during an exchange.
tab() {
  xdotool key "$1"
  sleep 0.5
}

# Replaces the text of the focused field.
type_text() {
  xdotool key ctrl+a
  xdotool type --delay 30 "$1"
}

# Terminal (from RS-232 Setup): sends a command to SIM and comes back.
send_from_terminal() {
  click_du 90 24 # the command box
  type_text "$1"
  xdotool key Return
  sleep 1
}

# Calibration: a sweep behind the 450 nm filter for the low point; the pointer
# then rests on the plot, over the peak, for its readout.
calibration_sweep() {
  click_du 77 41 # low range filter wavelength
  type_text 450
  click_du 178 41 # Run 1st
  sleep 4
  point_du 108 200
}

# Triple band: low 400, middle 500 and high 600 typed, then one sweep; with
# all three typed the plot tells how far the middle band lies off the line.
triple_sweep() {
  click_du 77 41 # low band wavelength
  type_text 400
  click_du 77 63 # middle band wavelength
  type_text 500
  click_du 77 85 # high band wavelength
  type_text 600
  click_du 176 124 # Run
  sleep 4
  point_du 110 10 # the pointer off the plot
}

# From the Calibration tab: a three-band filter from the terminal, then the
# Triple Band tab's sweep, and its picture as NAME.
triple_from_calibration() {
  tab ctrl+Prior
  tab ctrl+Prior
  send_from_terminal 'SF,400,500,600'
  tab ctrl+Next
  tab ctrl+Next
  tab ctrl+Next
  triple_sweep
  shot "$1"
}

start_app
shot 1-rs232-setup

# Terminal: put SIM's reference filter at 450 nm in the beam, then ask for the
# stored calibration.
tab ctrl+Tab
send_from_terminal 'SF,450'
type_text 'RC'
xdotool key Return
shot 2-terminal

tab ctrl+Tab
shot 3-wavelength-protocol

tab ctrl+Tab
calibration_sweep
shot 4-calibration

triple_from_calibration 5-triple-band-calibration

# Set wavelength: move the light to the first preset.
tab ctrl+Tab
click_du 138 40 # the first Set
sleep 1
shot 6-set-wavelength
stop_app

# Both calibration tabs again at twice the size, as on a high-density screen.
scale=2
start_app
tab ctrl+Tab
send_from_terminal 'SF,450'
tab ctrl+Tab
tab ctrl+Tab
calibration_sweep
shot 4-calibration-scale2
triple_from_calibration 5-triple-band-calibration-scale2
stop_app
