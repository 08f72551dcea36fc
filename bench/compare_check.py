#!/usr/bin/python3
"""Times velkdump --check against velkdump's listing on the benchmark files of
compare_dump.py, in one run, side by side, in both readings.

Target: on the 100,000-element files --check takes at most 1.3 times the
listing's time. The 1,000,006-row file shows the check's cost on the largest
row count (the viewer's target: checked in at most 1 s).

Each figure is the median CPU time (user and system) of several runs, the two
commands' runs alternating, as compare_interpret.py measures. A check that
finds errors exits 1; that is a finished run here, not a failed one.

usage: bench/compare_check.py [--build DIR] [--data DIR] [--runs N] [--before VELKDUMP]
"""
import argparse
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare_dump import BEFORE_FILES, ROOT, load_average, ms, prepare  # noqa: E402

FILES = [f for f in BEFORE_FILES if f[0] != "pixels_1g.dcm"]


def cpu_seconds(command):
    """CPU seconds (user + system) of one run, or None when it did not finish."""
    with open(os.devnull, "wb") as sink:
        child = __import__("subprocess").Popen(command, stdout=sink, stderr=sink)
        _, status, usage = os.wait4(child.pid, 0)
    code = os.waitstatus_to_exitcode(status)
    return None if code not in (0, 1) else usage.ru_utime + usage.ru_stime


def medians(commands, runs):
    """Median CPU seconds of each command, their runs alternating after one warm-up
    round; None when any did not finish."""
    times = [[] for _ in commands]
    for i in range(runs + 1):
        for command, kept in zip(commands, times):
            t = cpu_seconds(command)
            if t is None:
                return None
            if i > 0:
                kept.append(t)
    return [statistics.median(t) for t in times]


def ratio(check, listing):
    return f"{check / listing:6.2f}" if listing else "     -"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "bench"))
    parser.add_argument("--data", default=None)
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--before", default=None, help="an earlier velkdump to time beside")
    args = parser.parse_args()
    velkdump = os.path.join(args.build, "cli", "velkdump")
    data = prepare(args.build, args.data, BEFORE_FILES)

    for reading in ([], ["--interpret"]):
        name = "interpret" if reading else "default"
        before_head = f" {'before':>9} {'ratio':>6}" if args.before else ""
        print(f"{name + ' reading':32} {'listing':>9}{before_head} {'check':>9} {'ratio':>6}"
              "   (median CPU ms)")
        for file, label in FILES:
            path = os.path.join(data, file)
            commands = [[velkdump] + reading + [path], [velkdump, "--check"] + reading + [path]]
            if args.before:
                commands.append([args.before, "--check"] + reading + [path])
            times = medians(commands, args.runs)
            if times is None:
                print(f"{label:32} did not finish")
                continue
            listing, check = times[0], times[1]
            before = f" {ms(times[2])} {ratio(times[2], listing)}" if args.before else ""
            print(f"{label:32} {ms(listing)}{before} {ms(check)} {ratio(check, listing)}")
        print()
    print(f"load average {load_average()}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
