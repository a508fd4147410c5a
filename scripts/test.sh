#!/usr/bin/env bash
# Installs what is needed, checks the format, builds, and runs every test
# through ctest: first the normal build with warnings as errors (the "ci"
# preset, in build/), then the address+undefined sanitizer build.
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
