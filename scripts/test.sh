#!/usr/bin/env bash
# Installs what is needed, checks the format, builds, and runs every test
# through ctest: first the normal build with warnings as errors (the "ci"
# preset, in build/), then the address+undefined sanitizer build, then the
# Windows cross build under Wine (scripts/test-windows.sh) and the compile
# check of the window's sources for Windows (scripts/check-gui-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-format.sh
export QT_QPA_PLATFORM=offscreen
for preset in ci asan; do
  echo "== build and test: $preset"
  bash scripts/build.sh "$preset"
  ctest --preset "$preset" -j "$(nproc)" --timeout 300
done
echo "== Windows: cross build, tests under Wine, the window's sources"
windows_started=$SECONDS
VORN_SKIP_DEPS=1 bash scripts/test-windows.sh
bash scripts/check-gui-windows.sh
echo "== Windows part: $((SECONDS - windows_started)) s"
