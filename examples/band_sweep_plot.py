#!/usr/bin/env python3
"""Sweep behind a three-band filter, print the bands, and plot the readings
with matplotlib (band_sweep.png), or save them as CSV (band_sweep.csv) when
matplotlib is not installed.

Usage: python3 band_sweep_plot.py [PORT [OUTPUT]]    (PORT defaults to SIM)
On SIM the simulator's SF command puts a 400/500/600 nm filter in.
"""
import csv
import sys

import vornadc

try:
    import matplotlib.pyplot as plt
except ImportError:
    plt = None

port = sys.argv[1] if len(sys.argv) > 1 else "SIM"
output = sys.argv[2] if len(sys.argv) > 2 else ("band_sweep.png" if plt else "band_sweep.csv")


def show_progress(done, total):
    if done % (total // 4) == 0:
        print(f"swept {done} of {total}")


with vornadc.connect(port) as adc:
    if adc.port == "SIM":
        adc.send("SF,400,500,600")
    # The middle band's wavelength (0) is worked out from the other two.
    result = adc.sweep_bands(samples=256, wavelengths=(400, 0, 600), progress=show_progress)
    if adc.port == "SIM":
        adc.send("SF")

bands = {"low": result.low, "middle": result.middle, "high": result.high}
for name, band in bands.items():
    print(f"{name:6} {band.counts:4} counts  {band.wavelength} nm  reading {band.intensity}")
step = 4096 // len(result.readings)
counts = [i * step for i in range(len(result.readings))]
if plt:
    figure, axes = plt.subplots()
    axes.plot(counts, result.readings)
    for name, band in bands.items():
        axes.axvline(band.counts, linestyle=":", color="grey")
        axes.annotate(f"{band.wavelength} nm", (band.counts, band.intensity))
    axes.set_xlabel("DA counts")
    axes.set_ylabel("reading")
    figure.savefig(output)
else:
    with open(output, "w", newline="") as file:
        writer = csv.writer(file)
        writer.writerow(["counts", "reading"])
        writer.writerows(zip(counts, result.readings))
print("saved", output)
