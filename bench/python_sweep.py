#!/usr/bin/python3
"""A sweep() from Python against the same sweep called from C++, each on its
own unpaced built-in SIM, connection time left out. Rounds alternate which
side goes first. Prints each side's median sweep time, the median of the
per-round ratios Python / C++, and the ratio of the medians.
Usage: python_sweep.py [SAMPLES [ROUNDS]]   (default 1024 15)
Run from the source tree after building; BUILD names another build folder."""
import os
import statistics
import subprocess
import sys
import time

build = os.environ.get("BUILD", os.path.join(os.path.dirname(__file__), "..", "build"))
sys.path.insert(0, os.path.join(build, "src", "python"))
import vornadc  # noqa: E402


def main():
    samples = int(sys.argv[1]) if len(sys.argv) > 1 else 1024
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    serve = subprocess.Popen([os.path.join(build, "bench", "bench_sweep_serve")],
                             stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)

    def from_cpp():
        serve.stdin.write(f"{samples}\n")
        serve.stdin.flush()
        seconds, counts = serve.stdout.readline().split()
        return float(seconds), int(counts)

    times = {"python": [], "c++": []}
    with vornadc.connect("SIM") as adc:

        def from_python():
            start = time.perf_counter()
            result = adc.sweep(samples)
            return time.perf_counter() - start, result.counts

        sides = [("python", from_python), ("c++", from_cpp)]
        for round_number in range(rounds):
            for name, sweep in sides if round_number % 2 == 0 else reversed(sides):
                seconds, _ = sweep()
                times[name].append(seconds)
    serve.stdin.close()
    serve.wait()
    py, cpp = (statistics.median(times[name]) for name in ("python", "c++"))
    ratios = statistics.median(p / c for p, c in zip(times["python"], times["c++"]))
    print(f"{samples}-sample sweep on unpaced SIM, {rounds} alternating rounds:")
    print(f"  python sweep(): median {py * 1000:.1f} ms")
    print(f"  C++ SweepForPeak: median {cpp * 1000:.1f} ms")
    print(f"  python / C++: median of rounds {ratios:.3f}, of medians {py / cpp:.3f}")


if __name__ == "__main__":
    main()
