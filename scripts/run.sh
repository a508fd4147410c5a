#!/usr/bin/env bash
# Installs what is needed, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh default
cli=build/src/cli/vornadc-cli
app=build/src/app/VORNadcC
if [ -x "$app" ] && [ -n "${DISPLAY:-}" ]; then
  exec "$app"
fi
if [ -x "$app" ]; then
  echo "No display available (DISPLAY is not set)." >&2
fi
if [ -x "$cli" ]; then
  echo "Serial ports this machine offers:"
  exec "$cli" ports
fi
echo "Nothing to run yet." >&2
