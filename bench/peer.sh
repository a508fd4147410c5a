#!/bin/bash
# `vornadc-cli sweep` against a pyserial peer doing the identical exchanges
# (bench/peer_sweep.py), both on one unpaced adc-sim, alternately under
# hyperfine. Both must print the same peak counts first (SIM without noise).
# Exchanges per run: RC,1 and RS, then WA and RA per sample.
# Usage: bench/peer.sh [SAMPLES [RUNS]]   (default 1024 10; from the source tree, after a build)
set -euo pipefail
samples=${1:-1024}
runs=${2:-10}
here=$(cd "$(dirname "$0")/.." && pwd)
cli=$here/build/src/cli/vornadc-cli
sim=$here/build/src/sim/adc-sim
python=/usr/bin/python3
command -v hyperfine >/dev/null || { echo "peer.sh: hyperfine is missing (apt-get install hyperfine)" >&2; exit 1; }
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

hyperfine -N --warmup 1 --runs "$runs" --export-json "$work/times.json" \
    -n vornadc-cli "$ours" -n pyserial "$peer"
$python - "$work/times.json" "$samples" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
exchanges = 2 + 2 * int(sys.argv[2])
m = {r["command"]: r["median"] for r in results}
for name, t in m.items():
    print(f"median {name}: {t*1000:.1f} ms, {exchanges/t:.0f} exchanges/s ({exchanges} exchanges)")
print(f"ratio vornadc-cli / pyserial: {m['vornadc-cli']/m['pyserial']:.3f} (target <= 0.5)")
PY
