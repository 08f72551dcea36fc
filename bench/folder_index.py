#!/usr/bin/python3
"""Times velkdump --index over a folder as a modality exports it.

usage: folder_index.py VELKDUMP [--files 10000] [--runs 7] [--jobs 2] [--peer]

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
"""
import argparse
import os
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


def timed(command):
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    if status != 0:
        raise subprocess.CalledProcessError(status, command)
    return wall, usage.ru_utime + usage.ru_stime


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
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        write_folder(folder, args.files)
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
