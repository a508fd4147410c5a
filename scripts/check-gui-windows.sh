#!/usr/bin/env bash
# The window's sources for Windows: every source of the widget libraries and
# of the program (ui/, pages/, calibration/ with plot/, app/, the dialog
# templates) compiles with the MinGW-w64 cross compiler against Debian's Qt 6
# headers (-fsyntax-only: linking would need Qt built for Windows, which
# Debian does not have), and none of them includes a POSIX header itself.
# The libraries below the widgets are built for Windows in full by
# scripts/build-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
qt=/usr/include/x86_64-linux-gnu/qt6
mapfile -t sources < <(git ls-files 'src/ui/*.cpp' 'src/pages/*.cpp' 'src/calibration/*.cpp' \
  'src/calibration/plot/*.cpp' 'src/app/*.cpp' 'resources/templates/*.cpp' | sort -u)
mapfile -t headers < <(git ls-files 'src/ui/*.h' 'src/pages/*.h' 'src/calibration/*.h' \
  'src/calibration/plot/*.h' 'src/app/*.h' 'resources/templates/*.h')
posix='<(unistd|poll|pty|pwd|grp|termios|fcntl|dlfcn|pthread|signal|libtelnet|netdb)\.h>|<(sys|arpa|netinet)/'
if grep -En "#include $posix" "${sources[@]}" "${headers[@]}"; then
  echo "gui-windows: the sources above include POSIX headers" >&2
  exit 1
fi
failed=0
for source in "${sources[@]}"; do
  if ! x86_64-w64-mingw32-g++-posix -std=c++17 -fsyntax-only -Wall -Wextra -Werror \
    -D_WIN32_WINNT=0x0A00 -DWIN32_LEAN_AND_MEAN -DNOMINMAX -Isrc -Iresources \
    -isystem "$qt" -isystem "$qt/QtCore" -isystem "$qt/QtGui" -isystem "$qt/QtWidgets" \
    -isystem "$qt/QtSvg" -isystem "$qt/QtSerialPort" \
    "$source"; then
    echo "gui-windows: $source does not compile for Windows" >&2
    failed=$((failed + 1))
  fi
done
echo "gui-windows: $((${#sources[@]} - failed)) of ${#sources[@]} sources of the window compile for Windows"
[ "$failed" -eq 0 ]
