#!/bin/bash
# `vornadc-cli sweep` against a pyserial peer doing the identical exchanges
# (bench/peer_sweep.py), both on one unpaced adc-sim, in alternating rounds
# (bench/alternate.py; PEER_HYPERFINE=1 adds a hyperfine run). Both must print the same peak counts first (SIM without noise).
# Exchanges per run: RC,1 and RS, then WA and RA per sample.
# Usage: bench/peer.sh [SAMPLES [RUNS]]   (default 1024 10; from the source tree, after a build)
set -euo pipefail
samples=${1:-1024}
runs=${2:-10}
here=$(cd "$(dirname "$0")/.." && pwd)
cli=$here/build/src/cli/vornadc-cli
sim=$here/build/src/sim/adc-sim
python=/usr/bin/python3
$python -c 'import serial' 2>/dev/null || { echo "peer.sh: pyserial is missing (apt-get install python3-serial)" >&2; exit 1; }

work=$(mktemp -d)
"$sim" --noise 0 --filter 450 >"$work/sim.out" &
simpid=$!
trap 'kill $simpid 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.05; done
port=$(head -1 "$work/sim.out")

ours="$cli --port $port sweep --samples $samples"
peer="$python $here/bench/peer_sweep.py $port $samples"
a=$($ours); b=$($peer)
echo "peak counts: vornadc-cli $a, peer $b"
[ "$a" = "$b" ] || { echo "peer.sh: the two sweeps disagree" >&2; exit 1; }

# Alternating rounds, so a change of load falls on both alike. The 16-sample
# runs give each side's fixed cost (start-up, handshake, the 100 ms pause), so
# the difference is the rate of the sweep's own exchanges.
$python "$here/bench/alternate.py" "$runs" "vornadc-cli=$ours" "pyserial=$peer" \
    "vornadc-cli-16=$cli --port $port sweep --samples 16" \
    "pyserial-16=$python $here/bench/peer_sweep.py $port 16" | tee "$work/times"
$python - "$work/times" "$samples" <<'PY'
import re, sys
samples = int(sys.argv[2])
wall = {}
for line in open(sys.argv[1]):
    name, ms = re.match(r"(\S+): median ([\d.]+) ms wall", line).groups()
    wall[name] = float(ms) / 1000
for name in ("vornadc-cli", "pyserial"):
    run = 2 + 2 * samples
    sweep = 2 * (samples - 16) / (wall[name] - wall[name + "-16"])
    print(f"{name}: {run / wall[name]:.0f} exchanges/s over the whole run ({run} exchanges), "
          f"{sweep:.0f} exchanges/s in the sweep (beyond the 16-sample run)")
print(f"ratio of medians vornadc-cli / pyserial: {wall['vornadc-cli'] / wall['pyserial']:.3f} (target <= 0.5)")
PY
if [ -n "${PEER_HYPERFINE:-}" ]; then
    hyperfine -N --warmup 1 --runs "$runs" -n vornadc-cli "$ours" -n pyserial "$peer"
fi
