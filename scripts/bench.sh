#!/bin/bash
# Debian packages the benchmarks under bench/ need beyond the build's own.
set -euo pipefail
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get install -y --no-install-recommends python3-serial hyperfine cutecom xvfb xauth xdotool \
  libxcb1-dev
