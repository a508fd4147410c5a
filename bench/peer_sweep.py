#!/usr/bin/python3
"""A short pyserial peer of `vornadc-cli sweep`: the same exchanges on the
same port (the handshake RC,1 and RS with its 100 ms pause, then WA,1,n and
RA,1 per sample) and the same peak search (first strictly greatest positive
reading, then the centroid of every sample above half of it). Prints the
refined peak counts, as `vornadc-cli sweep` does.
Usage: peer_sweep.py PORT [SAMPLES]"""
import re
import sys
import time

import serial

DIGITS = re.compile(rb"-?\d+")


def exchange(port, command):
    port.write(command)
    port.flush()  # drained before the reply is awaited, as SendCommand does
    return port.read_until(b"\n")


def main():
    path = sys.argv[1]
    samples = int(sys.argv[2]) if len(sys.argv) > 2 else 1024
    step = 4096 // samples
    port = serial.Serial(path, 19200, bytesize=8, parity="N", stopbits=1, timeout=0.501)
    exchange(port, b"RC,1;\r\n")
    exchange(port, b"RS;\r\n")
    time.sleep(0.1)
    readings = []
    for i in range(samples):
        exchange(port, b"WA,1,%d;\r\n" % (i * step))
        numbers = DIGITS.findall(exchange(port, b"RA,1;\r\n"))
        if len(numbers) < 2:
            print("Error in calibration", file=sys.stderr)
            return 1
        readings.append(int(numbers[1]))
    best, peak = 0, 0
    for i, reading in enumerate(readings):
        if reading > best:
            best, peak = reading, i
    half = readings[peak] // 2
    weighted = sum(r * i for i, r in enumerate(readings) if r > half)
    total = sum(r for r in readings if r > half)
    print(step * weighted // total if total > 0 else step * peak)
    return 0


if __name__ == "__main__":
    sys.exit(main())
