#!/usr/bin/env bash
# Tests the Windows build under Wine, in a Wine prefix of the build's own
# (build-windows/wine-prefix): first the test suites below the widgets
# (ctest, each test executable run whole under Wine), then vornadc-cli.exe end
# to end against a Linux adc-sim mapped as COM ports, over socket:// and
# rfc2217:// (ser2net), and on its built-in SIM, and adc-sim.exe --listen. Wine does not enforce the
# exclusive open of a COM port, so exclusivity is tested on Linux only.
# Builds what it needs: build-windows/ (scripts/build-windows.sh) and, for the
# Linux side, adc-sim and vornadc-cli in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
bash scripts/build-windows.sh
if [ ! -x build/src/sim/adc-sim ] || [ ! -x build/src/cli/vornadc-cli ]; then
  cmake --preset default >/dev/null
  cmake --build --preset default -j "$(nproc)" --target adc-sim vornadc-cli
fi
sim=$PWD/build/src/sim/adc-sim
cli=$PWD/build/src/cli/vornadc-cli
wincli=$PWD/build-windows/src/cli/vornadc-cli.exe
winsim=$PWD/build-windows/src/sim/adc-sim.exe
export WINEPREFIX=$PWD/build-windows/wine-prefix WINEDEBUG=-all
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -f "$WINEPREFIX/dosdevices/com7" "$WINEPREFIX/dosdevices/com12"
  "$wineserver" -k >/dev/null 2>&1 || true # no wineserver outlives the tests
  rm -rf "$work"
}
trap cleanup EXIT

# A wineserver that stays up between the runs: each start of one costs seconds.
"$wineserver" -p >/dev/null 2>&1 || true # one may run already
"$wine" cmd /c exit 2>/dev/null || true # makes the prefix on the first run

echo "== Windows test suites under Wine"
ctest --test-dir build-windows -j "$(nproc)" --output-on-failure --timeout 300

echo "== vornadc-cli.exe and adc-sim.exe end to end"
passed=0
failed=0
# check NAME STATUS EXPECTED COMMAND...: the command's exit status and its
# output (both streams, CR LF read as LF) as expected.
check() {
  local name=$1 status=$2 expected=$3 actual code=0
  shift 3
  actual=$("$@" 2>&1 | tr -d '\r') || code=$? # pipefail: the command's status
  if [ "$code" = "$status" ] && [ "$actual" = "$expected" ]; then
    passed=$((passed + 1))
    echo "ok      $name"
  else
    failed=$((failed + 1))
    echo "FAILED  $name: exit $code (expected $status), output:"
    printf '%s\n' "$actual" | sed 's/^/    /'
    echo "  expected:"
    printf '%s\n' "$expected" | sed 's/^/    /'
  fi
}
# start NAME COMMAND...: starts a simulator in the background; its first line
# (the path or port name to open) becomes $opened.
start() {
  local out=$work/$1
  shift
  "$@" >"$out" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$out" ] && break; sleep 0.1; done
  opened=$(head -n 1 "$out" | tr -d '\r')
}

# A Linux simulator behind two COM ports, one of them above COM9 (whose name
# needs the \\.\ prefix).
start pty "$sim" --noise 0 --filter 450
ln -sfn "$opened" "$WINEPREFIX/dosdevices/com7"
ln -sfn "$opened" "$WINEPREFIX/dosdevices/com12"
check "COM7: id" 0 "ADC-SIM 1.0" "$wine" "$wincli" --port COM7 id
check "COM12: range" 0 "240 699" "$wine" "$wincli" --port com12 range
check "COM7: set-wavelength" 0 " Wavelength is set to  :  450 nm" \
  "$wine" "$wincli" --port COM7 set-wavelength 450
check "COM7: a mode the parser refuses" 1 "invalid parameter" \
  "$wine" "$wincli" --port COM7 --mode "9600,n,8,1" id
linux_sweep=$("$cli" --port "$opened" sweep --samples 256)
check "COM7: sweep as on Linux" 0 "$linux_sweep" "$wine" "$wincli" --port COM7 sweep --samples 256
check "COM9: not there" 1 "Port Initialisation Error:
File not found. (ports here: COM1)" "$wine" "$wincli" --port COM9 id

start listen "$sim" --noise 0 --listen 127.0.0.1:0
check "socket://: read-calibration" 0 "250 87 690 4013" \
  "$wine" "$wincli" --port "$opened" read-calibration

# rfc2217:// through ser2net in front of a Linux simulator's pseudo-terminal.
start served "$sim" --noise 0 --filter 450
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$work/ser2net.yaml" <<YAML
%YAML 1.1
---
connection: &c0
  accepter: telnet(rfc2217),tcp,127.0.0.1,$port
  connector: serialdev,$opened,19200n81,local
  options:
    chardelay: false
YAML
ser2net=$(command -v ser2net || echo /usr/sbin/ser2net)
"$ser2net" -n -u -P "$work/ser2net.pid" -c "$work/ser2net.yaml" >"$work/ser2net.out" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done
served_sweep=$("$cli" --port "rfc2217://127.0.0.1:$port" sweep --samples 64)
check "rfc2217://: sweep as on Linux" 0 "$served_sweep" \
  "$wine" "$wincli" --port "rfc2217://127.0.0.1:$port" sweep --samples 64
check "rfc2217://: a baud rate the server acknowledges" 0 " Wavelength is set to  :  450 nm" \
  "$wine" "$wincli" --port "rfc2217://127.0.0.1:$port" --mode "baud=9600 parity=n data=8 stop=1" \
  set-wavelength 450

check "SIM: id" 0 "ADC-SIM 1.0" "$wine" "$wincli" id
check "SIM: sweep as Linux's SIM" 0 "$("$cli" sweep --samples 128)" \
  "$wine" "$wincli" sweep --samples 128
check "SIM: listed" 0 "SIM	built-in simulated controller			" \
  sh -c "'$wine' '$wincli' ports --long | tr -d '\r' | grep '^SIM'"

check "adc-sim.exe needs --listen" 2 "adc-sim: on Windows the simulator needs --listen HOST:PORT (there are no pseudo-terminals); vornadc-cli has SIM built in" \
  bash -c "set -o pipefail; '$wine' '$winsim' 2>&1 | head -n 1"
start winsim "$wine" "$winsim" --noise 0 --listen 127.0.0.1:0
check "adc-sim.exe --listen, Linux vornadc-cli" 0 "ADC-SIM 1.0" "$cli" --port "$opened" id

check "the package" 0 "README.txt
adc-sim.exe
vornadc-cli.exe" python3 -c \
  "import zipfile; print('\n'.join(sorted(zipfile.ZipFile('build-windows/vornadc-windows.zip').namelist())))"

echo "windows: $passed passed, $failed failed (in $((SECONDS - started)) s)"
[ "$failed" -eq 0 ]
