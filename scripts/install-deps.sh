#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  g++ cmake ninja-build pkg-config \
  qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl-dev \
  libgtest-dev \
  xvfb xauth x11-apps fonts-dejavu-core \
  xdotool imagemagick \
  dpkg-dev file desktop-file-utils groff-base \
  clang clang-format clang-tidy libclang-rt-14-dev python3-serial valgrind \
  pybind11-dev python3-dev python3-pytest python3-mypy \
  ser2net \
  g++-mingw-w64-x86-64-posix googletest wine64
