#!/usr/bin/python3
"""Holds velkdump's frames against pydicom's pixel_array on pydicom's sample files.

For every file under pydicom's data folders with Pixel Data, each frame is
written by `velkdump --frame=N --image=F.npy` and compared with the same frame
of pydicom's pixel_array: its shape and type, and its values, equal for
uncompressed, RLE and lossless JPEG frames and within 2 for lossy JPEG. In a
syntax velk does not decode, velkdump must exit 1 naming the compression.

The files where velk and pydicom differ are listed in KNOWN_DIFFERENCES with
the reason; the run fails on any other difference, and when a listed one no
longer shows.

usage: pixels_pydicom.py --velkdump PATH [--verbose]
"""
import argparse
import os
import subprocess
import sys
import tempfile

import numpy
import pydicom

DATA = os.path.dirname(pydicom.__file__) + "/data"
FOLDERS = ("test_files", "charset_files", "palettes")

LOSSY = {"1.2.840.10008.1.2.4.50", "1.2.840.10008.1.2.4.51"}
UNDECODED = {  # syntax: the words velkdump's sentence names it by
    "1.2.840.10008.1.2.4.80": "JPEG-LS", "1.2.840.10008.1.2.4.81": "JPEG-LS",
    "1.2.840.10008.1.2.4.90": "JPEG 2000", "1.2.840.10008.1.2.4.91": "JPEG 2000",
}

KNOWN_DIFFERENCES = {
    "test_files/badVR.dcm": "its Number of Frames is '1A': pydicom stops there, velk reads one frame",
}


def pydicom_frames(ds):
    """pydicom's frames as a list of arrays, or None when it cannot decode them."""
    try:
        array = ds.pixel_array
    except Exception:  # noqa: BLE001 - any failure means no reference
        return None
    frames = int(getattr(ds, "NumberOfFrames", 1) or 1)
    return [array] if frames == 1 else list(array)


def silenced_stderr():
    """gdcm writes its warnings to the process's standard error: sent away."""
    devnull = os.open(os.devnull, os.O_WRONLY)
    os.dup2(devnull, 2)


def velk_frame(velkdump, path, frame, out):
    run = subprocess.run([velkdump, "--frame=%d" % frame, "--image=" + out, path],
                         capture_output=True, text=True)
    if run.returncode != 0:
        return None, run.stderr.strip()
    return numpy.load(out), ""


def compare(velkdump, path, tmp):
    """The difference for one file, as a short sentence, or ''."""
    ds = pydicom.dcmread(path, force=True)
    if "PixelData" not in ds:
        return None
    syntax = str(getattr(getattr(ds, "file_meta", None), "TransferSyntaxUID", "") or "")
    undecoded = UNDECODED.get(syntax)
    if syntax in LOSSY and int(ds.get("BitsStored", 8)) > 8:
        undecoded = "12-bit"  # lossy JPEG of more than 8 bits: named, not decoded
    if undecoded:
        array, message = velk_frame(velkdump, path, 1, tmp)
        if array is not None or undecoded not in message:
            return "no sentence naming %s: %r" % (undecoded, message)
        return ""
    expected = pydicom_frames(ds)
    if expected is None:
        # Where pydicom finds no frame, velk must say why it shows none.
        array, message = velk_frame(velkdump, path, 1, tmp)
        return "pydicom decodes nothing, velk a frame" if array is not None else ""
    tolerance = 2 if syntax in LOSSY else 0
    for index, want in enumerate(expected, 1):
        got, message = velk_frame(velkdump, path, index, tmp)
        if got is None:
            return "frame %d: velkdump: %s" % (index, message)
        # The type's kind and size; pydicom keeps a big-endian file's byte order.
        if got.shape != want.shape or (got.dtype.kind, got.dtype.itemsize) != (
                want.dtype.kind, want.dtype.itemsize):
            return "frame %d: %s %s, pydicom %s %s" % (index, got.shape, got.dtype, want.shape,
                                                      want.dtype)
        worst = int(numpy.max(numpy.abs(got.astype(numpy.int64) - want.astype(numpy.int64))))
        if worst > tolerance:
            return "frame %d: values differ by up to %d" % (index, worst)
    return ""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--velkdump", required=True)
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    silenced_stderr()
    failures = []
    checked = 0
    with tempfile.TemporaryDirectory() as folder:
        tmp = os.path.join(folder, "frame.npy")
        for sub in FOLDERS:
            for root, _, names in os.walk(os.path.join(DATA, sub)):
                for name in sorted(names):
                    path = os.path.join(root, name)
                    rel = os.path.relpath(path, DATA)
                    try:
                        found = compare(args.velkdump, path, tmp)
                    except Exception:  # noqa: BLE001 - pydicom could not read the file
                        continue
                    if found is None:
                        continue
                    checked += 1
                    known = rel in KNOWN_DIFFERENCES
                    if args.verbose:
                        print("%s: %s" % (rel, found or "same"))
                    if found and not known:
                        failures.append("%s: %s" % (rel, found))
                    elif known and not found:
                        failures.append("%s: listed as differing, but is the same" % rel)
    for f in failures:
        print(f)
    print("%d files with pixel data, %d unexpected" % (checked, len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
