#!/usr/bin/python3
"""Times velkdump over many small files, one at a time against -j N.

usage: many_files.py VELKDUMP [--files 10000] [--pairs 21] [--jobs 2]
                     [--formats text,csv,json] [--realtime]

Writes the files (explicit VR little endian, 60 elements and a sequence of two
items each, about 2 KB) into a temporary folder once, then lists the folder
with `velkdump -r` in each format, output to /dev/null, in pairs of runs: one
-j 1 and one -j N, the two taken in turns first. The ratio -j N / -j 1 is
taken within each pair, run next to each other, and the median of the pairs'
ratios is printed with its quartiles: on a virtual machine whose processors
speed up and slow down from one second to the next (the -j 1 time alone moves
by half between runs a minute apart), a pair's two runs see much the same
machine, where medians of separate runs do not. Also printed: the median wall
time of each, the median processor time (user + system, all threads) of each
with the median of its pairs' ratios, and the load average before and after.
--realtime runs velkdump under `chrt -f 10` (as root), so that others' work
does not take its processors while it runs: the wall times of a shared machine
then come near those of an idle one. (The kernel leaves realtime tasks 95% of
each second: a run of more than about a second, such as json at -j 1, may be
held back for the rest.)
"""
import argparse
import os
import statistics
import struct
import subprocess
import tempfile
import time


def element(group, number, vr, value):
    if len(value) % 2:
        value += b" "
    if vr in (b"OB", b"OW", b"SQ", b"UN", b"UT"):
        return struct.pack("<HH2sHI", group, number, vr, 0, len(value)) + value
    return struct.pack("<HH2sH", group, number, vr, len(value)) + value


def small_file(i):
    body = element(0x0002, 0x0010, b"UI", b"1.2.840.10008.1.2.1\0")
    for n in range(60):
        body += element(0x0009, 0x1000 + n, b"LO", f"value {i} {n}".encode())
    item = element(0x0008, 0x1150, b"UI", b"1.2.3\0") + element(0x0008, 0x1155, b"UI", b"4.5.6\0")
    items = b"".join(struct.pack("<HHI", 0xFFFE, 0xE000, len(item)) + item for _ in range(2))
    body += element(0x0008, 0x1140, b"SQ", items)
    body += element(0x0028, 0x0010, b"US", struct.pack("<H", i % 512))
    return b"\0" * 128 + b"DICM" + body


def timed(command, realtime):
    """Wall seconds and processor seconds (user + system) of one run."""
    if realtime:
        command = ["chrt", "-f", "10"] + command
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    if status != 0:
        raise subprocess.CalledProcessError(status, command)
    return wall, usage.ru_utime + usage.ru_stime


def load():
    return " ".join(f"{x:.2f}" for x in os.getloadavg())


def quartiles(values):
    q = statistics.quantiles(values, n=4)
    return q[0], statistics.median(values), q[2]


def measure(base, jobs, pairs, realtime):
    """Wall and processor seconds of -j 1 and -j N, pair by pair."""
    one_j = base[:1] + ["-j", "1"] + base[1:]
    n_j = base[:1] + ["-j", str(jobs)] + base[1:]
    timed(base, realtime)  # the directory and the files in the page cache
    one, many = [], []
    for p in range(pairs):
        if p % 2:
            many.append(timed(n_j, realtime))
            one.append(timed(one_j, realtime))
        else:
            one.append(timed(one_j, realtime))
            many.append(timed(n_j, realtime))
    return one, many


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("velkdump")
    parser.add_argument("--files", type=int, default=10000)
    parser.add_argument("--pairs", type=int, default=21)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--formats", default="text,csv,json")
    parser.add_argument("--realtime", action="store_true")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        for i in range(args.files):
            sub = os.path.join(folder, f"{i // 1000:02d}")
            os.makedirs(sub, exist_ok=True)
            with open(os.path.join(sub, f"{i:05d}.dcm"), "wb") as f:
                f.write(small_file(i))
        n = f"-j {args.jobs}"
        print(f"{args.files} files, {args.pairs} pairs of runs, medians, seconds; "
              f"load average {load()}")
        print(f"{'format':8} {'-j 1':>7} {n:>7} {'ratio':>6} {'quartiles':>11}   "
              f"{'cpu -j 1':>8} {'cpu ' + n:>8} {'ratio':>6}")
        for fmt in args.formats.split(","):
            base = [args.velkdump, "-r", "--format=" + fmt, folder]
            one, many = measure(base, args.jobs, args.pairs, args.realtime)
            low, ratio, high = quartiles([b[0] / a[0] for a, b in zip(one, many)])
            cpu_ratio = statistics.median(b[1] / a[1] for a, b in zip(one, many))
            a, b = (statistics.median(w for w, _ in runs) for runs in (one, many))
            ca, cb = (statistics.median(c for _, c in runs) for runs in (one, many))
            print(f"{fmt:8} {a:7.3f} {b:7.3f} {ratio:6.2f} {low:5.2f}-{high:4.2f}   "
                  f"{ca:8.3f} {cb:8.3f} {cpu_ratio:6.2f}")
        print(f"load average after: {load()}")


if __name__ == "__main__":
    main()
