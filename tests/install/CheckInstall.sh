#!/usr/bin/env bash
# Installs the build into a staging folder (DESTDIR) and checks that every file
# a desktop user needs lands where the desktop and man look for it.
# Usage: CheckInstall.sh BUILD_DIR [PYTHON TYPED_SCRIPT]
# With PYTHON (the interpreter the module is built for) it also checks the
# vornadc module, under /usr and under /usr/local, and that TYPED_SCRIPT
# type-checks against the installed stub.
set -euo pipefail
build=$1
python=${2:-}
typed_script=${3:-}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
root="$stage/usr"

failures=0
expect() {
  if [ ! -e "$root/$1" ]; then
    echo "missing: /usr/$1"
    failures=$((failures + 1))
  fi
}
for program in VORNadcC vornadc-cli adc-sim; do
  expect "bin/$program"
  [ -x "$root/bin/$program" ] || { echo "not executable: bin/$program"; failures=$((failures + 1)); }
done
expect share/applications/vornadc.desktop
for size in 16 32 48; do
  expect "share/icons/hicolor/${size}x${size}/apps/vornadc.png"
done
expect share/icons/hicolor/scalable/apps/vornadc.svg
expect share/man/man1/vornadc-cli.1
expect share/man/man1/adc-sim.1

# Each PNG has the size its folder names.
for size in 16 32 48; do
  png="$root/share/icons/hicolor/${size}x${size}/apps/vornadc.png"
  [ -e "$png" ] || continue
  # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
  if [ "$width" != "$size" ] || [ "$height" != "$size" ]; then
    echo "icon ${size}x${size} is ${width}x${height}"
    failures=$((failures + 1))
  fi
done

# The menu entry starts the installed program and shows the installed icon.
desktop="$root/share/applications/vornadc.desktop"
if [ -e "$desktop" ]; then
  grep -qx 'Exec=VORNadcC' "$desktop" || { echo "desktop entry does not run VORNadcC"; failures=$((failures + 1)); }
  grep -qx 'Icon=vornadc' "$desktop" || { echo "desktop entry names another icon"; failures=$((failures + 1)); }
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || failures=$((failures + 1))
  else
    echo "desktop-file-validate not installed; entry not validated"
  fi
fi

# The manual pages are well-formed roff: man renders them without warnings.
if command -v groff >/dev/null; then
  for page in vornadc-cli adc-sim; do
    file="$root/share/man/man1/$page.1"
    [ -e "$file" ] || continue
    warnings=$(groff -man -Tutf8 -ww -z "$file" 2>&1 || true)
    if [ -n "$warnings" ]; then
      echo "$page.1: $warnings"
      failures=$((failures + 1))
    fi
  done
fi

# The installed CLI runs from its new place.
"$root/bin/vornadc-cli" --help | grep -q '^usage: vornadc-cli' ||
  { echo "installed vornadc-cli does not run"; failures=$((failures + 1)); }

# The module lands, under either prefix, in a folder that python3 searches
# (whether or not that folder exists here), imports from there and
# type-checks: mypy, run from a fresh virtual environment that holds the
# installed files, finds the stub package and checks a script against it.
check_module() {
  local prefix=$1 tree="$stage/python${1//\//-}"
  DESTDIR="$tree" cmake --install "$build" --prefix "$prefix" >/dev/null
  local found dir
  found=$(find "$tree" -name 'vornadc.cpython-*.so' -print -quit)
  if [ -z "$found" ]; then
    echo "missing under $prefix: the vornadc module"
    failures=$((failures + 1))
    return
  fi
  dir=$(dirname "$found")
  local installed=${dir#"$tree"}
  if ! "$python" -c 'import site, sys; sys.exit(sys.argv[1] not in site.getsitepackages())' "$installed"; then
    echo "$installed is not searched by $python"
    failures=$((failures + 1))
  fi
  [ -e "$dir/vornadc-stubs/__init__.pyi" ] ||
    { echo "missing: $installed/vornadc-stubs/__init__.pyi"; failures=$((failures + 1)); }
  PYTHONPATH="$dir" "$python" -c \
    'import sys, vornadc; sys.exit(not vornadc.__file__.startswith(sys.argv[1]))' "$dir" ||
    { echo "the vornadc module installed under $prefix does not import"; failures=$((failures + 1)); }
  local venv="$stage/venv${1//\//-}"
  "$python" -m venv --without-pip --system-site-packages "$venv"
  # The installed files as a site folder of the environment: mypy reads only
  # typed packages there (PEP 561), as in the system's folders, where a .pth
  # line would make the folder a plain search path.
  cp -r "$dir/." "$("$venv/bin/python" -c 'import site; print(site.getsitepackages()[0])')"
  (cd "$stage" && "$venv/bin/python" -m mypy --strict "$typed_script") ||
    { echo "$typed_script does not type-check against the module installed under $prefix"; failures=$((failures + 1)); }
}
if [ -n "$python" ]; then
  check_module /usr
  check_module /usr/local
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures problem(s) in the installed tree"
  exit 1
fi
echo "install tree complete"
