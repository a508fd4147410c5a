#!/usr/bin/env bash
# Installs what is needed, builds, and starts the program on the simulated
# controller: its settings come from a demo folder inside the build folder
# (never your own ~/.config/VORNadcC), whose profile names the port SIM, so
# pressing Connect works without hardware. Without a display it runs a short
# demo of vornadc-cli against SIM instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target VORNadcC vornadc-cli
cli=build/src/cli/vornadc-cli
app=build/src/app/VORNadcC

demo_config="$PWD/build/demo-config"
profile="$demo_config/VORNadcC/VORNadcC.INI"
if [ ! -e "$profile" ]; then
  mkdir -p "$(dirname "$profile")"
  printf '[Setup]\r\nComPort=SIM\r\n' >"$profile"
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting VORNadcC with the demo settings in $profile."
  echo "The port is SIM, the built-in simulated controller: press Connect."
  XDG_CONFIG_HOME="$demo_config" exec "$app"
fi

echo "No display available (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window"
echo "cannot open. A short demo of vornadc-cli against SIM, the simulated controller:"
status=0
for command in "id" "range" "set-wavelength 450" "read-protocol" "read-calibration" "probe 2048"; do
  echo
  echo "\$ vornadc-cli $command"
  # shellcheck disable=SC2086 # the command's words are meant to split
  "$cli" $command || status=$?
done
exit "$status"
