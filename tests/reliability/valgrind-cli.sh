#!/bin/sh
# valgrind-cli.sh CLI ADC_SIM
# Runs vornadc-cli under valgrind's memcheck against the simulated controller,
# healthy and with each of its faults, and fails on any memory error or leak.
# Each run must also end with the exit status the command promises.
set -u
cli=$1
sim=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
simpid=
failures=0

stop_sim() {
    if [ -n "$simpid" ]; then
        kill "$simpid" 2>/dev/null
        wait "$simpid" 2>/dev/null
        simpid=
    fi
}
trap 'stop_sim; rm -rf "$work"' EXIT

# start_sim [adc-sim options]: serves a fresh simulated controller; sets $port.
start_sim() {
    stop_sim
    "$sim" --noise 0 "$@" >"$work/sim.out" &
    simpid=$!
    port=
    tries=0
    while [ -z "$port" ] && [ $tries -lt 100 ]; do
        port=$(head -n 1 "$work/sim.out")
        [ -n "$port" ] || sleep 0.05
        tries=$((tries + 1))
    done
    if [ -z "$port" ]; then
        echo "adc-sim $* did not start" >&2
        exit 1
    fi
}

# check STATUS WORDS...: the CLI with WORDS ends with STATUS and valgrind finds nothing.
check() {
    expected=$1
    shift
    valgrind -q --error-exitcode=3 --leak-check=full --errors-for-leak-kinds=definite,indirect \
        --suppressions="$here/valgrind.supp" "$cli" "$@" >"$work/out" 2>"$work/err"
    status=$?
    if [ "$status" -ne "$expected" ]; then
        echo "FAIL (status $status, expected $expected): vornadc-cli $*" >&2
        cat "$work/err" >&2
        failures=$((failures + 1))
    else
        echo "ok: vornadc-cli $*"
    fi
}

start_sim
check 0 --port "$port" id
check 0 --port "$port" range
check 0 --port "$port" probe 2048
check 0 --port "$port" send SF,450
check 0 --port "$port" sweep --samples 16 --save "$work/sweep.txt"
check 0 --port "$port" sweep-bands --samples 16 --wavelengths 340 0 510
check 0 --port "$port" define-protocol 30 200 200 4540 240 340 380
check 0 --port "$port" read-protocol
# the simulator served inside the program, on a thread of its own
check 0 --port SIM id
check 0 --port SIM sweep --samples 16

start_sim --fault hangup:8
check 1 --port "$port" sweep --samples 16
start_sim --fault drop:3
check 0 --port "$port" id
start_sim --fault garbage
check 1 --port "$port" read-calibration
start_sim --fault babble
check 1 --port "$port" read-calibration
# a port that does not exist
check 1 --port /dev/vornadc-none id

stop_sim
if [ "$failures" -ne 0 ]; then
    echo "$failures run(s) failed" >&2
    exit 1
fi
echo "valgrind: no errors"
