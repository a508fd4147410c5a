#!/usr/bin/python3
"""Times commands side by side: each round runs every command once, in turn,
so a change of load on the machine falls on all of them alike. Prints, per
command, the median wall time and CPU time (user + system, from the child's
resource usage) and, against the first command, the median of the per-round
ratios.
Usage: alternate.py ROUNDS NAME=COMMAND [NAME=COMMAND ...]   (COMMAND is split on blanks)"""
import os
import statistics
import subprocess
import sys
import time


def run(argv):
    start = time.perf_counter()
    child = subprocess.Popen(argv, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"alternate.py: {' '.join(argv)} failed")
    return wall, usage.ru_utime + usage.ru_stime


def main():
    rounds = int(sys.argv[1])
    commands = [arg.split("=", 1) for arg in sys.argv[2:]]
    walls = {name: [] for name, _ in commands}
    cpus = {name: [] for name, _ in commands}
    for _ in range(rounds):
        for name, command in commands:
            wall, cpu = run(command.split())
            walls[name].append(wall)
            cpus[name].append(cpu)
    first = commands[0][0]
    for name, _ in commands:
        line = (f"{name}: median {statistics.median(walls[name]) * 1000:.1f} ms wall, "
                f"{statistics.median(cpus[name]) * 1000:.1f} ms CPU ({rounds} rounds)")
        if name != first:
            ratio = statistics.median(a / b for a, b in zip(walls[first], walls[name]))
            line += f"; {first} / {name} wall, median of rounds: {ratio:.3f}"
        print(line)


if __name__ == "__main__":
    main()
