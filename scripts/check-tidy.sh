#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over the sources under src/
# (or the files given), using the compile commands of the default build.
#   bash scripts/check-tidy.sh [FILE.cpp...]
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/compile_commands.json ] || cmake --preset default >/dev/null
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files 'src/*.cpp')
fi
printf '%s\0' "${files[@]}" | xargs -0 -n 4 -P "$(nproc)" clang-tidy -p build --quiet --warnings-as-errors='*'
echo "tidy: no findings in ${#files[@]} files"
