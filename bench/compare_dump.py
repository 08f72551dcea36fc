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

With --before VELKDUMP, only velkdump and a velkdump built from earlier code are
timed, side by side: their runs alternate, so that both meet the same load of a
shared machine, and each file's figures are the minimum wall time and the median
CPU time (user and system) of the runs, with before / now for each (at least 1:
as fast as before). The files then include the 1,000,006-row one.

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


# Only against the earlier build: the peers take seconds a run on it.
BEFORE_FILES = FILES + [("items_1m.dcm", "1,000,006 rows")]


def build(build_dir):
    # A folder configured already (an optimised one) keeps its settings.
    if not os.path.exists(os.path.join(build_dir, "CMakeCache.txt")):
        subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                        "-DVELK_WERROR=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "-j", "2", "--target", "velkdump",
                    "velk_gen_dump_files", "velk_compare_dump_walk"],
                   check=True, stdout=subprocess.DEVNULL)


def prepare(build_dir, data, files):
    """Builds the tools, generates the files that are missing; answers their folder."""
    build(build_dir)
    data = data or os.path.join(build_dir, "dump-files")
    os.makedirs(data, exist_ok=True)
    if not all(os.path.exists(os.path.join(data, f)) for f, _ in files):
        subprocess.run([os.path.join(build_dir, "bench", "velk_gen_dump_files"), data],
                       check=True)
    return data


def load_average():
    return " ".join(f"{x:.2f}" for x in os.getloadavg())


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


def timed_run(command):
    """Wall and CPU (user + system) seconds of one run, or None when it failed."""
    start = time.perf_counter()
    with open(os.devnull, "wb") as sink:
        child = subprocess.Popen(command, stdout=sink, stderr=sink)
        _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    return None if status != 0 else (wall, usage.ru_utime + usage.ru_stime)


def side_by_side(now, before, data, runs):
    """Alternating runs of the two builds on every file; min wall, median CPU."""
    print(f"{'file':32} {'min wall ms':>23} {'median CPU ms':>23}")
    print(f"{'':32} {'before':>7} {'now':>7} {'ratio':>7} {'before':>7} {'now':>7} {'ratio':>7}")
    for file, label in BEFORE_FILES:
        path = os.path.join(data, file)
        times = {"before": [], "now": []}
        for name, command in (("before", before), ("now", now)):  # warm-up
            timed_run(command + [path])
        for _ in range(runs):
            for name, command in (("before", before), ("now", now)):
                times[name].append(timed_run(command + [path]))
        if any(t is None for ts in times.values() for t in ts):
            print(f"{label:32} failed")
            continue
        walls = {n: min(t[0] for t in ts) for n, ts in times.items()}
        cpus = {n: statistics.median(t[1] for t in ts) for n, ts in times.items()}
        print(f"{label:32} {walls['before'] * 1000:7.2f} {walls['now'] * 1000:7.2f} "
              f"{walls['before'] / walls['now']:7.2f} {cpus['before'] * 1000:7.2f} "
              f"{cpus['now'] * 1000:7.2f} {cpus['before'] / max(cpus['now'], 1e-6):7.2f}")
    print(f"\nload average {load_average()}")


def ms(seconds):
    return "failed" if seconds is None else f"{seconds * 1000:9.1f}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "bench"))
    parser.add_argument("--data", default=None, help="where the generated files go")
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--before", default=None, help="an earlier velkdump to time beside")
    args = parser.parse_args()

    data = prepare(args.build, args.data, BEFORE_FILES)

    if args.before:
        side_by_side([os.path.join(args.build, "cli", "velkdump")], [args.before], data,
                     args.runs)
        return 0

    tools = {
        "velkdump": [os.path.join(args.build, "cli", "velkdump")],
        "bare walk": [os.path.join(args.build, "bench", "velk_compare_dump_walk")],
        "dcmdump -M": ["dcmdump", "-M"],
        "gdcmdump": ["gdcmdump"],
    }
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
    big, tiny = medians["pixels_1g.dcm"]["velkdump"], medians["tiny.dcm"]["velkdump"]
    if big and tiny:
        print(f"\nvelkdump, 1 GiB file / tiny file: {big / tiny:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
