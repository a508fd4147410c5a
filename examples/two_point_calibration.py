#!/usr/bin/env python3
"""A two-point calibration with two reference filters: sweep behind each,
then store the two peaks as the controller's calibration, once they make a
line: the higher filter's peak more than one sample step above the lower's
(the same filter swept twice, say, does not).

Usage: python3 two_point_calibration.py [PORT [LOW_NM HIGH_NM]]
(defaults: SIM, 350 and 600 nm). On SIM the simulator's SF command puts each
filter in; on a real controller you are asked to insert it.
"""
import sys

import vornadc

port = sys.argv[1] if len(sys.argv) > 1 else "SIM"
filters = [int(nm) for nm in sys.argv[2:4]] or [350, 600]


def make_a_line(points, step):
    """points: (nm, counts) of each filter."""
    (low_nm, low_counts), (high_nm, high_counts) = sorted(points)
    return low_nm < high_nm and high_counts - low_counts > step


def insert_filter(adc, nm):
    if adc.port == "SIM":
        adc.send(f"SF,{nm}")
    else:
        input(f"Insert the {nm} nm reference filter and press Enter ")


with vornadc.connect(port) as adc:
    print("before:", adc.read_calibration())
    peaks = []
    for nm in filters:
        insert_filter(adc, nm)
        sweep = adc.sweep()
        peaks.append(sweep.counts)
        print(f"{nm} nm filter: peak at {peaks[-1]} counts")
    if adc.port == "SIM":
        adc.send("SF")  # filter out again
    if not make_a_line(list(zip(filters, peaks)), 4096 // len(sweep.readings)):
        sys.exit(f"not written: peaks at {peaks[0]} and {peaks[1]} counts make no line for"
                 f" {filters[0]} and {filters[1]} nm (the same filter twice?)")
    adc.write_calibration(filters[0], peaks[0], filters[1], peaks[1])
    print("after: ", adc.read_calibration())
    print("range: ", adc.wavelength_range())
