#!/usr/bin/python3
"""Times velkdump --interpret against velkdump's default reading on the benchmark
files of compare_dump.py, in one run, side by side.

Targets: on the 100,000-element files --interpret takes at most 1.5 times the
default reading's time; on the 1 GiB pixel file it takes about as long as on the
tiny file (the pixel data is never read).

Each run's time is the CPU time velkdump used (user and system), the median of
several, the runs of the two readings alternating: on a machine that other work
shares, wall-clock times of a few milliseconds say more about the neighbours
than about velkdump.

usage: bench/compare_interpret.py [--build DIR] [--data DIR] [--runs N]
  --build  an optimised build folder, where compare_dump.py builds velkdump and
           the file generator
"""
import argparse
import os
import statistics
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare_dump import FILES, ROOT, load_average, ms, prepare, timed_run  # noqa: E402


def median_pair(first, second, runs):
    """The median CPU times of `runs` runs of each command after one warm-up,
    the two alternating, so that both meet the same load of a shared machine."""
    times = ([], [])
    for i in range(runs + 1):
        for command, kept in ((first, times[0]), (second, times[1])):
            t = timed_run(command)
            if t is None:
                return None, None
            if i > 0:
                kept.append(t[1])
    return statistics.median(times[0]), statistics.median(times[1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "bench"))
    parser.add_argument("--data", default=None)
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()
    velkdump = os.path.join(args.build, "cli", "velkdump")
    data = prepare(args.build, args.data, FILES)

    print(f"{'file':32} {'default':>9} {'interpret':>9} {'ratio':>6}   (median CPU ms)")
    medians = {}
    for file, label in FILES:
        path = os.path.join(data, file)
        default, interpret = median_pair([velkdump, path], [velkdump, "--interpret", path],
                                         args.runs)
        medians[file] = interpret
        ratio = f"{interpret / default:6.2f}" if default and interpret else "     -"
        print(f"{label:32} {ms(default)} {ms(interpret)} {ratio}")
    big, tiny = medians["pixels_1g.dcm"], medians["tiny.dcm"]
    if big and tiny:
        print(f"\nvelkdump --interpret, 1 GiB file / tiny file: {big / tiny:.2f}")
    print(f"load average {load_average()}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
