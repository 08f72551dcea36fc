#!/usr/bin/python3
"""Times velkdump over many small files, one at a time against -j N.

usage: many_files.py VELKDUMP [--files 10000] [--runs 9] [--jobs 2] [--realtime]

Writes the files (explicit VR little endian, 60 elements and a sequence of two
items each, about 2 KB) into a temporary folder once, then lists the folder
with `velkdump -r` in each format, alternating -j 1 and -j N, output to
/dev/null. Prints the median wall time of each and the ratio -j N / -j 1, the
median processor time (user + system, all threads) of each, and the load
average before and after: on a machine others keep busy the wall times follow
their load, while the processor times still show what -j N costs in all.
--realtime runs velkdump under `chrt -f 10` (as root), so that others' work
does not take its processors while it runs: the wall times of a shared machine
then come near those of an idle one.
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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("velkdump")
    parser.add_argument("--files", type=int, default=10000)
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--realtime", action="store_true")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        for i in range(args.files):
            sub = os.path.join(folder, f"{i // 1000:02d}")
            os.makedirs(sub, exist_ok=True)
            with open(os.path.join(sub, f"{i:05d}.dcm"), "wb") as f:
                f.write(small_file(i))
        n = f"-j {args.jobs}"
        print(f"{args.files} files, median of {args.runs} runs, seconds; load average {load()}")
        print(f"{'format':8} {'-j 1':>8} {n:>8} {'ratio':>7}   "
              f"{'cpu -j 1':>9} {'cpu ' + n:>9} {'ratio':>7}")
        for fmt in ("text", "csv", "json"):
            base = [args.velkdump, "-r", "--format=" + fmt, folder]
            one, many = [], []
            timed(base, args.realtime)  # the directory and the files in the page cache
            for _ in range(args.runs):
                one.append(timed(base[:1] + ["-j", "1"] + base[1:], args.realtime))
                many.append(timed(base[:1] + ["-j", str(args.jobs)] + base[1:], args.realtime))
            a, b = (statistics.median(w for w, _ in runs) for runs in (one, many))
            ca, cb = (statistics.median(c for _, c in runs) for runs in (one, many))
            print(f"{fmt:8} {a:8.3f} {b:8.3f} {b / a:7.2f}   {ca:9.3f} {cb:9.3f} {cb / ca:7.2f}")
        print(f"load average after: {load()}")


if __name__ == "__main__":
    main()
