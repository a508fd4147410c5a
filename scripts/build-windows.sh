#!/usr/bin/env bash
# Cross-builds for Windows with MinGW-w64 into build-windows/ (the "windows"
# preset): vornadc-cli.exe and adc-sim.exe, statically linked, the test
# suites of every library below the widgets, and vornadc-windows.zip.
# Installs the packages first (scripts/install-deps.sh) unless VORN_SKIP_DEPS=1.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${VORN_SKIP_DEPS:-}" = 1 ] || bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
