#!/usr/bin/python3
"""Times velkdump on a 5 GiB file beside a 1 GiB one, with dcmdump -M (DCMTK) and
gdcmdump (GDCM) on the same files in the same run.

Both files have the shape whole-slide images and long loops take: file meta, a
few elements, Pixel Data of undefined length holding an empty offset table and
fragments of 1 GiB (one, or five), its delimiter, then Data Set Trailing Padding.
They are written sparse by velk_make_catalogue (the fragments are holes), so
they cost no disk; they are deleted at the end.

For each tool and file: the minimum wall time of the runs, the peak resident
memory (/usr/bin/time), the exit status, the lines written and, for a
run that failed, the first line it wrote to standard error. Every run is held to
8 GiB of address space, so that a tool that reads the pixel data into memory
fails rather than crowd the machine. With --before VELKDUMP, a velkdump built
from earlier code runs beside. "velkdump windowed" is velkdump reading the
files a window at a time (VELK_WHOLE_VIEW_LIMIT=1 MiB), as where the system will
not map them whole; "velkdump, 3 GB" is velkdump held to 3,000,000 KiB of
address space, less than the 5 GiB file needs.

usage: bench/large_file.py [--build DIR] [--data DIR] [--runs N] [--before VELKDUMP]
"""
import argparse
import os
import resource
import subprocess
import sys
import tempfile
import time

import compare_dump

ADDRESS_SPACE = 8 << 30
SMALL_ADDRESS_SPACE = 3000000 << 10  # as `ulimit -v 3000000`
WINDOWED = {"VELK_WHOLE_VIEW_LIMIT": str(1 << 20)}
FILES = [("pixels_1_gib.dcm", 1, "1 GiB of pixel data"),
         ("pixels_5_gib.dcm", 5, "5 GiB of pixel data")]


def limit_memory(address_space):
    return lambda: resource.setrlimit(resource.RLIMIT_AS, (address_space, address_space))


def run_once(command, env=None, address_space=ADDRESS_SPACE):
    """Wall seconds, peak resident MiB, exit status, lines out, first error line.

    The peak comes from /usr/bin/time: a child's own getrusage peak would start
    at this interpreter's, which a fork passes on through exec."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err, \
            tempfile.NamedTemporaryFile("r") as peak:
        start = time.perf_counter()
        child = subprocess.Popen(["/usr/bin/time", "-q", "-f", "%M", "-o", peak.name] + command,
                                 stdout=out, stderr=err, preexec_fn=limit_memory(address_space),
                                 env=dict(os.environ, **(env or {})))
        _, status, _ = os.wait4(child.pid, 0)
        wall = time.perf_counter() - start
        out.seek(0)
        lines = sum(1 for _ in out)
        err.seek(0)
        first_error = err.readline().decode(errors="replace").strip()
        kib = [line for line in peak.read().split("\n") if line.strip().isdigit()]
    code = os.waitstatus_to_exitcode(status)
    return wall, int(kib[-1]) / 1024 if kib else float("nan"), code, lines, first_error


def measure(command, runs, env=None, address_space=ADDRESS_SPACE):
    results = [run_once(command, env, address_space) for _ in range(runs)]
    wall = min(r[0] for r in results)
    rss = max(r[1] for r in results)
    _, _, code, lines, first_error = results[-1]
    return wall, rss, code, lines, first_error


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(compare_dump.ROOT, "build", "bench"))
    parser.add_argument("--data", default=None, help="where the sparse files go (a temporary folder)")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--before", default=None, help="an earlier velkdump to run beside")
    args = parser.parse_args()

    compare_dump.build(args.build)
    subprocess.run(["cmake", "--build", args.build, "-j", "2", "--target", "velk_make_catalogue"],
                   check=True, stdout=subprocess.DEVNULL)
    make = os.path.join(args.build, "tests", "catalogue", "velk_make_catalogue")
    velkdump = os.path.join(args.build, "cli", "velkdump")
    tools = [("velkdump", [velkdump], {}), ("velkdump --interpret", [velkdump, "--interpret"], {}),
             ("velkdump windowed", [velkdump], {"env": WINDOWED}),
             ("velkdump windowed --interpret", [velkdump, "--interpret"], {"env": WINDOWED}),
             ("velkdump, 3 GB", [velkdump], {"address_space": SMALL_ADDRESS_SPACE})]
    if args.before:
        tools.append(("velkdump before", [args.before], {}))
    tools += [("dcmdump -M", ["dcmdump", "-M"], {}), ("gdcmdump", ["gdcmdump"], {})]

    data = tempfile.mkdtemp(prefix="velk-large-", dir=args.data)
    paths = []
    try:
        for name, fragments, _ in FILES:
            path = os.path.join(data, name)
            subprocess.run([make, path, "--sparse-pixels", str(fragments)], check=True)
            paths.append(path)
            used = os.stat(path).st_blocks * 512
            print(f"{name}: {os.path.getsize(path):,} bytes, {used:,} on disk")
        print(f"\n{'tool':29} {'file':22} {'min wall ms':>11} {'peak MiB':>9} {'exit':>5} "
              f"{'lines':>6}  error")
        for label, command, how in tools:
            for (name, _, file_label), path in zip(FILES, paths):
                wall, rss, code, lines, error = measure(command + [path], args.runs, **how)
                print(f"{label:29} {file_label:22} {wall * 1000:11.1f} {rss:9.1f} {code:5} "
                      f"{lines:6}  {error[:80]}")
        print(f"\nload average {compare_dump.load_average()}")
    finally:
        for path in paths:
            os.remove(path)
        os.rmdir(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
