#!/usr/bin/python3
"""Times velkdump --index over a folder as a modality exports it.

usage: folder_index.py VELKDUMP [--files 10000] [--runs 7] [--jobs 2] [--peer]
                       [--wine WINDOWS_BUILD [--earlier OTHER_WINDOWS_BUILD]]

Writes FILES part-10 files into a temporary folder once: 10 patients, each with
studies of series of images, in folders PATIENT/STUDY/SERIES as an export
names them, each file a header of about 1.5 KB (patient, study, series and
image attributes, a sequence, private elements) and 512 x 512 x 16-bit Pixel
Data left as a hole (the files claim 5 GB together and take a few MB of disk:
what is read of them is what the index reads). Then lists the folder with
`velkdump --index -r -j N` (output to /dev/null) RUNS times, after one run that
brings the folder into the page cache, and prints the median wall and processor
seconds with the load average; and the same for -j 1, and for the whole element
listing (`velkdump -r --format=csv -j N`) of the same files, each as a ratio to
the index, run by run in turns, so that both see the same machine.
--peer also times pydicom reading the same columns from the same files
(dcmread with stop_before_pixels, one process), once.
--wine times, in the same turns, the Windows build under wine (WINEPREFIX as
set; DISPLAY set, for the window): wine's start alone (`velkdump.exe
--version`), `velkdump.exe --index -r -j N`, and the folder window's own
reading (velk_folder_bench: the main frame opens the folder as the command line
does, up to the last row listed); with the wine server kept running
throughout, so that each start is a program's, not the server's, and the
server's processor time over each run taken from /proc. --earlier times
another build's velkdump.exe and window (an earlier commit's) in the same turns.
"""
import argparse
import os
import re
import statistics
import struct
import subprocess
import sys
import tempfile
import time


def element(group, number, vr, value):
    if len(value) % 2:
        value += b"\0" if vr == b"UI" else b" "
    if vr in (b"OB", b"OW", b"SQ", b"UN", b"UT"):
        return struct.pack("<HH2sHI", group, number, vr, 0, len(value)) + value
    return struct.pack("<HH2sH", group, number, vr, len(value)) + value


PIXEL_BYTES = 512 * 512 * 2


def header(i, per_series, per_study, per_patient):
    patient, study, series, image = (i // per_patient, i // per_study, i // per_series,
                                     i % per_series)
    uid = "1.2.826.0.1.3680043.10.1"
    meta = (element(0x0002, 0x0001, b"OB", b"\0\1")
            + element(0x0002, 0x0002, b"UI", b"1.2.840.10008.5.1.4.1.1.4")
            + element(0x0002, 0x0003, b"UI", f"{uid}.3.{i}".encode())
            + element(0x0002, 0x0010, b"UI", b"1.2.840.10008.1.2.1"))
    meta = element(0x0002, 0x0000, b"UL", struct.pack("<I", len(meta))) + meta
    item = element(0x0008, 0x1150, b"UI", b"1.2.840.10008.5.1.4.1.1.4") + \
        element(0x0008, 0x1155, b"UI", f"{uid}.3.{i - 1}".encode())
    body = (element(0x0008, 0x0005, b"CS", b"ISO_IR 100")
            + element(0x0008, 0x0008, b"CS", b"ORIGINAL\\PRIMARY\\M\\ND")
            + element(0x0008, 0x0016, b"UI", b"1.2.840.10008.5.1.4.1.1.4")
            + element(0x0008, 0x0018, b"UI", f"{uid}.3.{i}".encode())
            + element(0x0008, 0x0020, b"DA", f"2026{1 + study % 12:02d}{1 + study % 28:02d}".encode())
            + element(0x0008, 0x0060, b"CS", b"MR")
            + element(0x0008, 0x0070, b"LO", b"Maker")
            + element(0x0008, 0x1030, b"LO", f"Study {study}".encode())
            + element(0x0008, 0x103E, b"LO", f"Series {series} T2 axial".encode())
            + element(0x0008, 0x1140, b"SQ", struct.pack("<HHI", 0xFFFE, 0xE000, len(item)) + item)
            + element(0x0010, 0x0010, b"PN", f"Patient^Number{patient}".encode())
            + element(0x0010, 0x0020, b"LO", f"ID{patient:06d}".encode())
            + element(0x0010, 0x0030, b"DA", b"19700101")
            + b"".join(element(0x0019, 0x1000 + n, b"LO", f"private {n}".encode()) for n in range(40))
            + element(0x0020, 0x000D, b"UI", f"{uid}.1.{study}".encode())
            + element(0x0020, 0x000E, b"UI", f"{uid}.2.{series}".encode())
            + element(0x0020, 0x0011, b"IS", str(1 + series % 20).encode())
            + element(0x0020, 0x0013, b"IS", str(1 + image).encode())
            + element(0x0028, 0x0002, b"US", struct.pack("<H", 1))
            + element(0x0028, 0x0004, b"CS", b"MONOCHROME2")
            + element(0x0028, 0x0010, b"US", struct.pack("<H", 512))
            + element(0x0028, 0x0011, b"US", struct.pack("<H", 512))
            + element(0x0028, 0x0100, b"US", struct.pack("<H", 16))
            + struct.pack("<HH2sHI", 0x7FE0, 0x0010, b"OW", 0, PIXEL_BYTES))
    name = f"P{patient:03d}/S{study:04d}/E{series:05d}/IM{i:06d}"
    return name, b"\0" * 128 + b"DICM" + meta + body


def write_folder(folder, files):
    for i in range(files):
        name, data = header(i, 100, 500, 1000)
        path = os.path.join(folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
            f.truncate(len(data) + PIXEL_BYTES)  # the pixels: a hole


def timed(command, stdout=subprocess.DEVNULL):
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=stdout)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    if status != 0:
        raise subprocess.CalledProcessError(status, command)
    return wall, usage.ru_utime + usage.ru_stime


class Wine:
    """The Windows build's programs under wine, with this prefix's server kept
    running and its processor time read before and after each run."""

    def __init__(self, build):
        self.velkdump, self.window = self.programs(build)
        prefix = os.environ.get("WINEPREFIX", os.path.expanduser("~/.wine"))
        os.environ["WINEDEBUG"] = "-all"
        info = os.stat(prefix)
        self.tag = f"server-{info.st_dev:x}-{info.st_ino:x}"
        # With no server running, the first start is the server's too.
        self.cold_start = None
        if self.find_server() is None:
            self.cold_start = timed(["wine", self.velkdump, "--version"])[0]
            subprocess.run(["wineserver", "-w"], check=True)  # until it ends, a few s
        subprocess.run(["wineserver", "-p"], check=True)
        subprocess.run(["wine", self.velkdump, "--version"], check=True,
                       stdout=subprocess.DEVNULL)
        self.server = self.find_server()

    def find_server(self):
        return next((pid for pid in os.listdir("/proc") if pid.isdigit()
                     and os.path.basename(self.cwd(pid)) == self.tag
                     and "wineserver" in self.name(pid)), None)

    @staticmethod
    def programs(build):
        return (os.path.join(build, "cli", "velkdump.exe"),
                os.path.join(build, "tests", "app", "velk_folder_bench.exe"))

    @staticmethod
    def cwd(pid):
        try:
            return os.readlink(f"/proc/{pid}/cwd")
        except OSError:
            return ""

    @staticmethod
    def name(pid):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                return f.read().decode(errors="replace")
        except OSError:
            return ""

    def server_seconds(self):
        with open(f"/proc/{self.server}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def run(self, command):
        """wall, the program's processor, the server's processor; and the
        window's own figure (ms to the last row) when the program prints one."""
        before = self.server_seconds()
        with tempfile.TemporaryFile() as out:
            wall, cpu = timed(["wine", *command], stdout=out)
            out.seek(0)
            printed = out.read().decode(errors="replace")
        server = self.server_seconds() - before
        found = re.search(r"last row (\d+) ms", printed)
        return wall, cpu, server, float(found.group(1)) / 1000 if found else None

    def stop(self):
        subprocess.run(["wineserver", "-k"], check=False)


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wine_runs(wine, folder, jobs, runs, host_command, earlier):
    """Each wine command and the host's index, in turns, RUNS times."""
    folder = wine_path(folder)
    commands = {"wine start (velkdump.exe --version)": [wine.velkdump, "--version"]}
    builds = [("", (wine.velkdump, wine.window))]
    if earlier:
        builds.append(("earlier ", Wine.programs(earlier)))
    for label, (velkdump, window) in builds:
        commands[f"{label}velkdump.exe --index -r -j {jobs}"] = [
            velkdump, "--index", "-r", "-j", str(jobs), folder]
        commands[f"{label}window, command to last row"] = [window, folder, "1"]
    for command in commands.values():
        wine.run(command)  # the first run of each, left out
    host = f"host velkdump --index -r -j {jobs}"
    taken = {name: [] for name in [host, *commands]}
    for _ in range(runs):
        wall, cpu = timed(host_command)
        taken[host].append((wall, cpu, 0.0, None))
        for name, command in commands.items():
            taken[name].append(wine.run(command))
    print(f"under wine, {runs} runs each in turns, medians "
          "(wall; the program's processor; the wine server's processor):")
    for name, results in taken.items():
        wall = statistics.median(r[0] for r in results)
        cpu = statistics.median(r[1] for r in results)
        server = statistics.median(r[2] for r in results)
        line = f"  {name:38} wall {wall:6.2f} s  cpu {cpu:5.2f} s  server {server:5.2f} s"
        own = [r[3] for r in results if r[3] is not None]
        if own:
            line += f"  command to last row {statistics.median(own):6.2f} s"
        print(line)
    if wine.cold_start is not None:
        print(f"  wine start with no server running (1 run): {wine.cold_start:.2f} s")


def pydicom_seconds(folder):
    code = """
import os, sys, pydicom
n = 0
for root, _, names in os.walk(sys.argv[1]):
    for name in names:
        ds = pydicom.dcmread(os.path.join(root, name), stop_before_pixels=True)
        n += len(str(ds.get("PatientName", ""))) + int(ds.get("Rows", 0))
"""
    return timed([sys.executable, "-c", code, folder])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("velkdump")
    parser.add_argument("--files", type=int, default=10000)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--peer", action="store_true")
    parser.add_argument("--wine", metavar="WINDOWS_BUILD")
    parser.add_argument("--earlier", metavar="OTHER_WINDOWS_BUILD")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        write_folder(folder, args.files)
        if args.wine:
            wine = Wine(args.wine)
            try:
                print(f"{args.files} files; load average "
                      f"{' '.join(f'{x:.2f}' for x in os.getloadavg())}")
                host = [args.velkdump, "--index", "-r", "-j", str(args.jobs), folder]
                timed(host)  # the folder in the page cache
                wine_runs(wine, folder, args.jobs, args.runs, host, args.earlier)
                print(f"load average after: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
            finally:
                wine.stop()
            return
        j = ["-j", str(args.jobs)]
        commands = {
            f"--index -j {args.jobs}": [args.velkdump, "--index", "-r", *j, folder],
            "--index -j 1": [args.velkdump, "--index", "-r", folder],
            f"elements -j {args.jobs}": [args.velkdump, "-r", "--format=csv", *j, folder],
        }
        print(f"{args.files} files, {args.runs} runs each, medians; "
              f"load average {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
        for command in commands.values():
            timed(command)  # the folder in the page cache
        runs = {name: [] for name in commands}
        for _ in range(args.runs):
            for name, command in commands.items():
                runs[name].append(timed(command))
        first = next(iter(runs.values()))
        for name, taken in runs.items():
            wall = statistics.median(w for w, _ in taken)
            cpu = statistics.median(c for _, c in taken)
            ratio = statistics.median(b[0] / a[0] for a, b in zip(first, taken))
            print(f"  {name:18} wall {wall:6.3f} s  cpu {cpu:6.3f} s  ratio to the first {ratio:5.2f}")
        if args.peer:
            wall, cpu = pydicom_seconds(folder)
            print(f"  {'pydicom (1 run)':18} wall {wall:6.3f} s  cpu {cpu:6.3f} s")
        print(f"load average after: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")


if __name__ == "__main__":
    main()
