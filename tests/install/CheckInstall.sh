#!/usr/bin/env bash
# Installs the build into a staging folder (DESTDIR) and checks that every file
# a desktop user needs lands where the desktop and man look for it.
# Usage: CheckInstall.sh BUILD_DIR [PYTHON PYTHON_DIR]
# With PYTHON (the interpreter the module is built for) and PYTHON_DIR (its
# place below the prefix) it also checks the vornadc module.
set -euo pipefail
build=$1
python=${2:-}
python_dir=${3:-}
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

# The module lands where that python3 looks under /usr, and imports from there.
if [ -n "$python" ]; then
  if ! "$python" -c 'import sys; sys.exit("/usr/'"$python_dir"'" not in sys.path)'; then
    echo "/usr/$python_dir is not on the path of $python"
    failures=$((failures + 1))
  fi
  expect "$python_dir/vornadc.pyi"
  PYTHONPATH="$root/$python_dir" "$python" -c \
    'import sys, vornadc; sys.exit(not vornadc.__file__.startswith(sys.argv[1]))' "$root" ||
    { echo "the installed vornadc module does not import"; failures=$((failures + 1)); }
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures problem(s) in the installed tree"
  exit 1
fi
echo "install tree complete"
