#!/usr/bin/env python3
"""Define an alternating protocol for two wavelengths and start it.

Usage: python3 alternating_protocol.py [PORT]    (PORT defaults to SIM)
"""
import sys

import vornadc

port = sys.argv[1] if len(sys.argv) > 1 else "SIM"
with vornadc.connect(port) as adc:
    print("controller:", adc.version())
    # Each 500 ms cycle: 3 ms dead time, 340 nm for 20 ms, 3 ms dead time,
    # 380 nm for 20 ms, then rest at 240 nm until the cycle is over.
    try:
        adc.define_protocol(ct=500, dt=3, it1=20, it2=20, wl0=240, wl1=340, wl2=380)
    except vornadc.DeviceError as error:
        sys.exit(f"not applied: {error}\ncorrected: {error.protocol}")
    adc.reactivate()  # start it
    print("running:", adc.read_protocol())
