#!/bin/bash
# A sweep by vornadc-cli.exe under Wine against adc-sim --baud 19200 mapped as
# a COM port (a link in the Wine prefix to its pseudo-terminal), beside the
# Linux vornadc-cli on the same kind of simulator, alternating round by round,
# each run on a fresh simulator. Both are timed as whole programs (start,
# handshake, sweep, exit) and set against the wire time of the bytes that
# crossed, counted from the simulator's log. Medians over the rounds.
# Usage: bench/windows_sweep.sh [SAMPLES [ROUNDS]]   (default 1024 3; after
# scripts/build-windows.sh and the default build)
set -euo pipefail
samples=${1:-1024}
rounds=${2:-3}
here=$(cd "$(dirname "$0")/.." && pwd)
sim=$here/build/src/sim/adc-sim
cli=$here/build/src/cli/vornadc-cli
wincli=$here/build-windows/src/cli/vornadc-cli.exe
export WINEPREFIX=$here/build-windows/wine-prefix WINEDEBUG=-all
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
work=$(mktemp -d)
simpid=
cleanup() {
  [ -n "$simpid" ] && kill "$simpid" 2>/dev/null || true
  rm -f "$WINEPREFIX/dosdevices/com7"
  "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
"$wineserver" -p >/dev/null 2>&1 || true
"$wine" "$wincli" --help >/dev/null # the prefix and its services are up before the first round

# one NAME: a sweep on a fresh simulator; prints "seconds bytes".
one() {
  "$sim" --baud 19200 --log "$work/sim.log" >"$work/sim.out" &
  simpid=$!
  for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.05; done
  local pty
  pty=$(head -n 1 "$work/sim.out")
  ln -sfn "$pty" "$WINEPREFIX/dosdevices/com7"
  local start end
  start=$(date +%s.%N)
  if [ "$1" = windows ]; then
    "$wine" "$wincli" --port COM7 sweep --samples "$samples" >/dev/null
  else
    "$cli" --port "$pty" sweep --samples "$samples" >/dev/null
  fi
  end=$(date +%s.%N)
  kill "$simpid"
  wait "$simpid" 2>/dev/null || true
  simpid=
  python3 - "$start" "$end" "$work/sim.log" <<'PY'
import re, sys
start, end, log = float(sys.argv[1]), float(sys.argv[2]), sys.argv[3]
count = 0
for line in open(log, encoding="latin-1"):
    text = line.rstrip("\n")[3:]
    count += len(re.sub(r"\\x[0-9A-F]{2}|\\r|\\n|\\\\", "_", text))
print(f"{end - start:.3f} {count}")
PY
}

declare -a linux windows
for round in $(seq "$rounds"); do
  read -r lt lb < <(one linux)
  read -r wt wb < <(one windows)
  linux+=("$lt $lb")
  windows+=("$wt $wb")
  echo "round $round: linux ${lt} s (${lb} bytes), windows under Wine ${wt} s (${wb} bytes)"
done
python3 - "${linux[@]}" -- "${windows[@]}" <<'PY'
import statistics, sys
args = sys.argv[1:]
cut = args.index("--")
def summary(name, runs):
    seconds = [float(r.split()[0]) for r in runs]
    wire = [int(r.split()[1]) * 10 / 19200 for r in runs]
    ratios = [s / w for s, w in zip(seconds, wire)]
    print(f"{name}: median {statistics.median(seconds):.3f} s, wire time "
          f"{statistics.median(wire):.2f} s, elapsed / wire {statistics.median(ratios):.3f}")
summary("linux vornadc-cli", args[:cut])
summary("vornadc-cli.exe under Wine", args[cut + 1:])
PY
