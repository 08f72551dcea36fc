#!/usr/bin/python3
"""Times velkdump against its peers, dcmdump -M (DCMTK) and gdcmdump (GDCM), and
against a bare walk of the element headers that prints one line per element.

Builds velkdump, the file generator and the bare walk in an optimised build
folder of their own, generates the files, runs every tool on every file (one
warm-up run, then several timed runs, output to /dev/null) and prints each
tool's median and the ratios that velkdump's targets are stated in:
  - the faster peer's median / velkdump's median, per file (target: at least 10)
  - velkdump on the 1 GiB file / velkdump on the tiny file (target: about 1)
  - velkdump / the bare walk, per file (target: at most 3)

With --before VELKDUMP, a velkdump built from earlier code is timed beside on the
same files, and its median over this one's is printed per file.

usage: bench/compare_dump.py [--build DIR] [--data DIR] [--runs N] [--before VELKDUMP]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

FILES = [
    ("tiny.dcm", "tiny file (start-up)"),
    ("elements_explicit.dcm", "100,000 elements, explicit VR"),
    ("elements_implicit.dcm", "100,000 elements, implicit VR"),
    ("every_vr.dcm", "100,000 elements, every VR"),
    ("fragments_10k.dcm", "10,000 encapsulated fragments"),
    ("pixels_1g.dcm", "1 GiB of pixel data"),
]


def build(build_dir):
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                    "-DVELK_WERROR=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "-j", "2", "--target", "velkdump",
                    "velk_gen_dump_files", "velk_compare_dump_walk"],
                   check=True, stdout=subprocess.DEVNULL)


def median_seconds(command, runs):
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)  # warm-up
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append(time.perf_counter() - start)
        if result.returncode != 0:
            return None
    return statistics.median(times)


def ms(seconds):
    return "failed" if seconds is None else f"{seconds * 1000:9.1f}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "bench"))
    parser.add_argument("--data", default=None, help="where the generated files go")
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--before", default=None, help="an earlier velkdump to time beside")
    args = parser.parse_args()

    build(args.build)
    data = args.data or os.path.join(args.build, "dump-files")
    os.makedirs(data, exist_ok=True)
    subprocess.run([os.path.join(args.build, "bench", "velk_gen_dump_files"), data], check=True)

    tools = {
        "velkdump": [os.path.join(args.build, "cli", "velkdump")],
        "bare walk": [os.path.join(args.build, "bench", "velk_compare_dump_walk")],
        "dcmdump -M": ["dcmdump", "-M"],
        "gdcmdump": ["gdcmdump"],
    }
    if args.before:
        tools["before"] = [args.before]
    for name in ("dcmdump -M", "gdcmdump"):
        if not shutil.which(tools[name][0]):
            sys.exit(f"{tools[name][0]} is missing: apt-get install dcmtk libgdcm-tools")

    medians = {}
    print(f"{'file':32} " + " ".join(f"{t:>11}" for t in tools) + "   (median ms)")
    for file, label in FILES:
        path = os.path.join(data, file)
        # The gigabyte costs the peers seconds per run: fewer runs there.
        runs = max(3, args.runs // 3) if file == "pixels_1g.dcm" else args.runs
        row = {t: median_seconds(cmd + [path], runs) for t, cmd in tools.items()}
        medians[file] = row
        print(f"{label:32} " + " ".join(f"{ms(row[t]):>11}" for t in tools))

    print()
    print(f"{'file':32} {'peer/velkdump':>14} {'velkdump/walk':>14}")
    for file, label in FILES:
        row = medians[file]
        peers = [row[t] for t in ("dcmdump -M", "gdcmdump") if row[t] is not None]
        faster_peer = min(peers) if peers else None
        v, w = row["velkdump"], row["bare walk"]
        speedup = f"{faster_peer / v:14.1f}" if faster_peer and v else f"{'-':>14}"
        floor = f"{v / w:14.2f}" if v and w else f"{'-':>14}"
        print(f"{label:32} {speedup} {floor}")
    if args.before:
        print(f"\n{'file':32} {'before/velkdump':>16}")
        for file, label in FILES:
            b, v = medians[file]["before"], medians[file]["velkdump"]
            print(f"{label:32} " + (f"{b / v:16.2f}" if b and v else f"{'-':>16}"))
    big, tiny = medians["pixels_1g.dcm"]["velkdump"], medians["tiny.dcm"]["velkdump"]
    if big and tiny:
        print(f"\nvelkdump, 1 GiB file / tiny file: {big / tiny:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
