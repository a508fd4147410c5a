#!/bin/bash
# Start-up time and peak memory of VORNadcC against a peer serial terminal
# (Debian's cutecom), both started the same way under one Xvfb, alternately,
# each with a fresh XDG_CONFIG_HOME: time from the start of the process to
# its main window being mapped (polled with xdotool every 5 ms), then VmHWM
# from /proc/PID/status at that moment and again 1 s later.
# Usage: bench/startup.sh [RUNS]     (default 7; from the source tree, after a build)
set -euo pipefail
runs=${1:-7}
here=$(cd "$(dirname "$0")/.." && pwd)
app=$here/build/src/app/VORNadcC
peer=$(command -v cutecom || true)
for tool in Xvfb xdotool; do
    command -v $tool >/dev/null || { echo "startup.sh: $tool is missing" >&2; exit 1; }
done
[ -x "$app" ] || { echo "startup.sh: build $app first" >&2; exit 1; }
[ -n "$peer" ] || { echo "startup.sh: cutecom is missing (apt-get install cutecom)" >&2; exit 1; }

work=$(mktemp -d)
display=:$((100 + RANDOM % 400))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=$display
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done

# one run: name, window title, command; prints "ms hwm_shown_kB hwm_1s_kB"
measure() {
    local title=$1; shift
    local config
    config=$(mktemp -d "$work/config.XXXX")
    local start end pid
    start=$(date +%s%N)
    XDG_CONFIG_HOME=$config "$@" >/dev/null 2>"$work/last.err" &
    pid=$!
    until xdotool search --onlyvisible --pid "$pid" --name "$title" >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || { echo "startup.sh: $1 ended early:" >&2; tail -5 "$work/last.err" >&2; exit 1; }
        sleep 0.005
    done
    end=$(date +%s%N)
    local shown settled
    shown=$(awk '/VmHWM/ {print $2}' /proc/$pid/status)
    sleep 1
    settled=$(awk '/VmHWM/ {print $2}' /proc/$pid/status)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    echo "$(( (end - start) / 1000000 )) $shown $settled"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

: >"$work/ours"; : >"$work/peer"
for i in $(seq "$runs"); do
    measure "VORN ADC Communication" "$app" >>"$work/ours"
    measure "${PEER_TITLE:-CuteCom - Default}" "$peer" >>"$work/peer"
    echo "run $i: VORNadcC $(tail -1 "$work/ours")  cutecom $(tail -1 "$work/peer")  (ms, VmHWM kB shown, 1 s later)"
done
for who in ours peer; do
    name=VORNadcC; [ $who = peer ] && name=cutecom
    echo "median $name: shown after $(cut -d' ' -f1 "$work/$who" | median) ms," \
         "VmHWM $(cut -d' ' -f2 "$work/$who" | median) kB when shown," \
         "$(cut -d' ' -f3 "$work/$who" | median) kB 1 s later ($runs runs)"
done
