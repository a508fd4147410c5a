#!/usr/bin/env bash
# Checks that every tracked C++ source is formatted as .clang-format says;
# prints the places that are not and fails. Format them with
#   git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "format: every source as .clang-format says"
