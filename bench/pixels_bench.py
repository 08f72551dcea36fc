#!/usr/bin/python3
"""Times showing a frame: velk against pydicom, in the same run.

Writes two files with pydicom (a 512 x 512 CT frame of signed 16-bit values with
a rescale and a window, and a 3000 x 3000 frame of unsigned 16-bit values
without a window), then times, per file, the median of RUNS:
- velk: velk_pixels_bench (map, load, describe, decode frame 1, window, 8-bit image);
- pydicom: dcmread, pixel_array, apply_modality_lut, apply_voi_lut (or the
  frame's own minimum and maximum), and the 8-bit image.
Both the wall clock and the processor time are given: on a shared machine the
wall clock also counts the waits for a processor; the ratio is of processor time.

usage: pixels_bench.py --bench PATH [--runs N]
"""
import argparse
import os
import statistics
import subprocess
import tempfile
import time

import numpy
import pydicom
from pydicom.dataset import Dataset, FileMetaDataset
from pydicom.pixel_data_handlers.util import apply_modality_lut, apply_voi_lut
from pydicom.uid import ExplicitVRLittleEndian, generate_uid


def write_frame(path, rows, columns, signed, window):
    meta = FileMetaDataset()
    meta.MediaStorageSOPClassUID = "1.2.840.10008.5.1.4.1.1.2"
    meta.MediaStorageSOPInstanceUID = generate_uid()
    meta.TransferSyntaxUID = ExplicitVRLittleEndian
    ds = Dataset()
    ds.file_meta = meta
    ds.is_little_endian = True
    ds.is_implicit_VR = False
    ds.SOPClassUID = meta.MediaStorageSOPClassUID
    ds.SOPInstanceUID = meta.MediaStorageSOPInstanceUID
    ds.Rows, ds.Columns = rows, columns
    ds.SamplesPerPixel = 1
    ds.PhotometricInterpretation = "MONOCHROME2"
    ds.BitsAllocated, ds.BitsStored, ds.HighBit = 16, 16, 15
    ds.PixelRepresentation = 1 if signed else 0
    if window:
        ds.RescaleSlope, ds.RescaleIntercept = 1, -1024
        ds.WindowCenter, ds.WindowWidth = 40, 400
    rng = numpy.random.default_rng(7)
    dtype = numpy.int16 if signed else numpy.uint16
    values = rng.integers(0, 4096, size=(rows, columns)).astype(dtype)
    ds.PixelData = values.tobytes()
    ds.save_as(path, write_like_original=False)


def pydicom_show(path):
    ds = pydicom.dcmread(path)
    array = apply_modality_lut(ds.pixel_array, ds)
    if "WindowCenter" in ds:
        shown = apply_voi_lut(array, ds)
        low, high = shown.min(), shown.max()
    else:
        low, high = array.min(), array.max()
        shown = array
    return ((shown - low) * (255.0 / max(high - low, 1))).astype(numpy.uint8)


def median_ms(function, runs):
    """The medians of the wall clock and of the processor time, in ms."""
    wall, cpu = [], []
    for _ in range(runs):
        start, cpu_start = time.perf_counter(), time.process_time()
        function()
        cpu.append((time.process_time() - cpu_start) * 1000)
        wall.append((time.perf_counter() - start) * 1000)
    return statistics.median(wall), statistics.median(cpu)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bench", required=True)
    parser.add_argument("--runs", type=int, default=15)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        files = [("512 x 512 x 16-bit CT, window", os.path.join(folder, "ct.dcm"), 512, 512, True, True),
                 ("3000 x 3000 x 16-bit, min/max", os.path.join(folder, "big.dcm"), 3000, 3000, False, False)]
        for _, path, rows, columns, signed, window in files:
            write_frame(path, rows, columns, signed, window)
        run = subprocess.run([args.bench, str(args.runs)] + [f[1] for f in files],
                             capture_output=True, text=True, check=True)
        velk = {}
        for line in run.stdout.splitlines():
            path, wall, cpu = line.split()
            velk[path] = (float(wall), float(cpu))
        print("| frame | velk wall (ms) | pydicom wall (ms) | velk processor (ms) | "
              "pydicom processor (ms) | pydicom / velk, processor |")
        print("|---|---|---|---|---|---|")
        for name, path, *_ in files:
            wall, cpu = median_ms(lambda: pydicom_show(path), args.runs)
            print("| %s | %.1f | %.1f | %.1f | %.1f | %.1f |" % (
                name, velk[path][0], wall, velk[path][1], cpu, cpu / max(velk[path][1], 0.001)))


if __name__ == "__main__":
    main()
