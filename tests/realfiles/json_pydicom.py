#!/usr/bin/python3
"""Holds velkdump's json format against pydicom's reading of pydicom's sample files.

Every part-10 file that pydicom reads is listed by one velkdump run
(--format=json, several files: one {"path", "dataset"} object a line). Each
dataset is read back with pydicom's Dataset.from_json and must equal pydicom's
own reading of the file, file meta information included, element by element
and item by item: the same tags, VRs and values. Binary values are written as
BulkDataURIs: for them the URI's bytes must be the bytes pydicom read.

The differences that remain are listed in KNOWN_DIFFERENCES with their reason.
The run fails when a file shows a difference that is not listed, and when a
listed file no longer shows one (so that the list stays true).

usage: json_pydicom.py --velkdump PATH [--verbose]
"""
import argparse
import json
import os
import subprocess
import sys
import urllib.parse

import pydicom
from pydicom.dataset import Dataset
from pydicom.sequence import Sequence

DATA = os.path.dirname(pydicom.__file__) + "/data"
FOLDERS = ("test_files", "charset_files", "palettes")
BULK_VRS = {"OB", "OD", "OF", "OL", "OV", "OW", "UN", "OB or OW", "US or OW"}

IMPLICIT = ("implicit VR data set: the default reading has no VR for its elements and "
            "writes them as UN bulk data (pydicom takes the VR from its dictionary)")
BIG_ENDIAN = "big endian data set: the default reading walks it as little endian"
DEFLATED = "deflated data set: the default reading walks its compressed bytes"
CHARSET = ("text in a character set other than Latin-1: the default reading converts "
           "bytes as code page 1252, pydicom by the Specific Character Set")
UN_IN_FILE = ("elements the file itself marks UN: pydicom reads their values by its "
              "dictionary's VR, the default reading keeps them as UN bulk data")
IMPLICIT_UNDER_EXPLICIT = ("the data set is implicit VR although the transfer syntax says "
                           "explicit: pydicom notices, velk reads what the syntax says")
NOT_A_NUMBER = ("an IS value that is no number ('1A'): written as the string it is, which "
                "pydicom's from_json refuses")
IMPLICIT_PRIVATE_SQ = ("implicit VR sequences in groups 0001 and 0002 after the meta "
                       "information: velk reads those groups as explicit")

# reason -> files (relative to pydicom's data folder) that differ for it
KNOWN = {
    BIG_ENDIAN: ["test_files/" + n for n in (
        "ExplVR_BigEnd.dcm", "MR_small_bigendian.dcm", "MR_small_expb.dcm", "liver_expb_1frame.dcm",
        "rtdose_expb.dcm", "rtdose_expb_1frame.dcm", "dicomdirtests/DICOMDIR-bigEnd")],
    DEFLATED: ["test_files/image_dfl.dcm"],
    IMPLICIT: ["test_files/" + n for n in (
        "MR_small_implicit.dcm", "SC_rgb_jpeg_dcmd.dcm", "empty_charset_LEI.dcm",
        "no_meta_group_length.dcm", "priv_SQ.dcm", "rtdose.dcm", "rtdose_1frame.dcm", "rtplan.dcm",
        "rtplan_truncated.dcm", "dicomdirtests/DICOMDIR-implicit")],
    IMPLICIT_PRIVATE_SQ: ["test_files/meta_missing_tsyntax.dcm", "test_files/nested_priv_SQ.dcm"],
    IMPLICIT_UNDER_EXPLICIT: ["test_files/SC_rgb_jpeg.dcm"],
    UN_IN_FILE: ["test_files/" + n for n in (
        "J2K_pixelrep_mismatch.dcm", "UN_sequence.dcm", "rtdose_rle.dcm", "rtdose_rle_1frame.dcm")],
    NOT_A_NUMBER: ["test_files/badVR.dcm"],
    CHARSET: ["charset_files/chr" + n + ".dcm" for n in (
        "Arab", "Greek", "H31", "H32", "Hbrw", "I2", "JapMulti", "JapMultiExplicitIR6", "KoreanMulti",
        "Russ", "SQEncoding", "SQEncoding1", "X1", "X2")],
}
KNOWN_DIFFERENCES = {name: reason for reason, names in KNOWN.items() for name in names}


def element_value(elem):
    """The value in a form that compares across the two readings."""
    value = elem.value
    if isinstance(value, (list, tuple)) or type(value).__name__ == "MultiValue":
        values = [comparable(v) for v in value]
        return values[0] if len(values) == 1 else values
    return comparable(value)


def comparable(v):
    if v is None or v == "" or v == b"":
        return None
    if isinstance(v, (int, float)) and not isinstance(v, bool):
        return float(v)
    if type(v).__name__ in ("DSfloat", "DSdecimal", "IS"):
        return float(v)
    return str(v)


def bulk_bytes(uri):
    parsed = urllib.parse.urlparse(uri)
    query = urllib.parse.parse_qs(parsed.query)
    offset, length = int(query["offset"][0]), int(query["length"][0])
    with open(urllib.parse.unquote(parsed.path), "rb") as f:
        f.seek(offset)
        return f.read(length)


def compare(expected, got, raw, where, out):
    """Appends to `out` each difference between two data sets."""
    for tag in sorted(set(expected.keys()) | set(got.keys())):
        name = f"{where}({tag.group:04X},{tag.element:04X})"
        if tag not in got:
            out.append(f"{name} missing")
            continue
        if tag not in expected:
            out.append(f"{name} extra")
            continue
        a, b = expected[tag], got[tag]
        if a.VR != b.VR:
            out.append(f"{name} VR {a.VR} != {b.VR}")
            continue
        if a.VR == "SQ":
            if len(a.value) != len(b.value):
                out.append(f"{name} {len(a.value)} items != {len(b.value)}")
                continue
            raw_items = raw.get(f"{int(tag):08X}", {}).get("Value", [])
            for i, (x, y) in enumerate(zip(a.value, b.value)):
                compare(x, y, raw_items[i] if i < len(raw_items) else {}, f"{name}[{i}]", out)
        elif a.VR in BULK_VRS:
            uri = raw.get(f"{int(tag):08X}", {}).get("BulkDataURI")
            data = a.value if isinstance(a.value, bytes) else b""
            if (bulk_bytes(uri) if uri else b"") != data:
                out.append(f"{name} bulk data differs")
        elif element_value(a) != element_value(b):
            out.append(f"{name} {element_value(a)!r} != {element_value(b)!r}")


def pydicom_files():
    for folder in FOLDERS:
        for root, _, names in os.walk(os.path.join(DATA, folder)):
            for name in sorted(names):
                path = os.path.join(root, name)
                try:
                    ds = pydicom.dcmread(path, defer_size=None)
                    ds.file_meta  # a file read without a preamble has none: velkdump lists none
                    if not open(path, "rb").read(132)[128:132] == b"DICM":
                        continue
                except Exception:
                    continue
                yield path, ds


def differences(path, ds, document):
    expected = Dataset()
    for elem in ds.file_meta:
        expected.add(elem)
    for elem in ds:
        expected.add(elem)
    try:
        got = Dataset.from_json(document, bulk_data_uri_handler=lambda *args: None)
    except Exception as e:
        return [f"from_json failed: {e}"]
    out = []
    compare(expected, got, document, "", out)
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--velkdump", required=True)
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()

    files = dict(pydicom_files())
    run = subprocess.run([args.velkdump, "--format=json", "-j", "2", *files],
                         capture_output=True)
    listed = {}
    for line in run.stdout.decode("utf-8").splitlines():
        record = json.loads(line)
        listed[record["path"]] = record["dataset"]

    failures, matched = [], 0
    for path, ds in files.items():
        name = os.path.relpath(path, DATA)
        known = KNOWN_DIFFERENCES.get(name)
        if path not in listed:
            failures.append(f"{name}: not listed")
            continue
        found = differences(path, ds, listed[path])
        if found and not known:
            failures.append(f"{name}: " + "; ".join(found[:5]))
        elif not found and known:
            failures.append(f"{name}: listed as differing ({known}) but equal now")
        elif not found:
            matched += 1
        if args.verbose and found:
            print(f"{name}: {len(found)} differences: " + "; ".join(found[:3]))
    if run.returncode != 0:
        failures.append(f"velkdump exit status {run.returncode}: {run.stderr.decode()[:500]}")
    print(f"{matched} of {len(files)} files equal, {len(files) - matched - len(failures)} "
          f"known differences, {len(failures)} failures")
    for f in failures:
        print("FAIL " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
