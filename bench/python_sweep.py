#!/usr/bin/python3
"""A sweep() from Python against the same sweep called from C++, each on its
own unpaced built-in SIM, connection time left out. Rounds alternate which
side goes first. Prints each side's median sweep time, the median of the
per-round ratios Python / C++, and the ratio of the medians.
Usage: python_sweep.py [SAMPLES [ROUNDS]]   (default 1024 15)

With --busy: a sweep() on the main thread with a busy Python thread beside it
(a loop that never waits) against the same sweep alone, on one unpaced
built-in SIM, with progress=None and with a progress callback that does
nothing. The same loop in a process of its own shows what the load of a busy
thread costs without the GIL (two cores: the loop takes one). Each round runs
the six in turn, forwards or backwards. Prints the median sweep times and
the median per-round ratios busy / alone.
Usage: python_sweep.py --busy [SAMPLES [ROUNDS]]   (default 4096 9)
Run from the source tree after building; BUILD names another build folder."""
import os
import statistics
import subprocess
import sys
import threading
import time

build = os.environ.get("BUILD", os.path.join(os.path.dirname(__file__), "..", "build"))
sys.path.insert(0, os.path.join(build, "src", "python"))
import vornadc  # noqa: E402


SPIN = """
import threading
done = threading.Event()
def spin():
    count = 0
    while not done.is_set():
        count += 1
"""


def busy_thread():
    """Starts a thread that runs Python without pause; returns its stop()."""
    space = {}
    exec(SPIN, space)
    thread = threading.Thread(target=space["spin"])
    thread.start()

    def stop():
        space["done"].set()
        thread.join()

    return stop


def busy_process():
    """The same loop in a process of its own: the load on the machine without
    the GIL, to tell the two apart. Returns its stop()."""
    child = subprocess.Popen([sys.executable, "-c", SPIN + "print(flush=True); spin()"],
                             stdout=subprocess.PIPE)
    child.stdout.readline()  # running

    def stop():
        child.kill()
        child.wait()

    return stop


def main_busy(samples, rounds):
    def quiet(done, total):
        pass

    besides = {"alone": None, "busy thread": busy_thread, "busy process": busy_process}
    runs = [(beside, progress) for progress in ["None", "callback"] for beside in besides]
    times = {run: [] for run in runs}
    with vornadc.connect("SIM") as adc:
        for round_number in range(rounds):
            for beside, progress in runs if round_number % 2 == 0 else reversed(runs):
                stop = besides[beside]() if besides[beside] else None
                start = time.perf_counter()
                adc.sweep(samples, quiet if progress == "callback" else None)
                times[beside, progress].append(time.perf_counter() - start)
                if stop:
                    stop()
    print(f"{samples}-sample sweep() on unpaced SIM, main thread, {rounds} rounds:")
    for progress in ["None", "callback"]:
        medians = ", ".join(f"{beside} {statistics.median(times[beside, progress]) * 1000:.1f} ms"
                            for beside in besides)
        print(f"  progress={progress}: median {medians}")
        for beside in ["busy thread", "busy process"]:
            ratios = [b / a for a, b in zip(times["alone", progress], times[beside, progress])]
            print(f"    {beside} / alone: median of rounds {statistics.median(ratios):.3f}"
                  f" ({min(ratios):.3f} to {max(ratios):.3f})")


def main():
    if sys.argv[1:2] == ["--busy"]:
        arguments = sys.argv[2:]
        main_busy(int(arguments[0]) if arguments else 4096,
                  int(arguments[1]) if len(arguments) > 1 else 9)
        return
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
