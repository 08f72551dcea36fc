#!/usr/bin/python3
"""Holds velkdump's Interpret reading of private elements against pydicom's.

The files: every file among pydicom's samples that holds private elements, and
the vendors' MR and CT files that other Debian packages ship as test data
(heudiconv, python3-nibabel; the gzipped ones are given to velkdump on standard
input, as `gunzip -c x.dcm.gz | velkdump -` would). For every private element
that pydicom names from its private dictionary ("[CSA Image Header Info]"),
velkdump's row of the same tag (the same occurrence of the tag, in file order)
must show the same name, the same VR, and the same value: text equal, numbers
equal to six significant digits, binary values' first bytes equal as hex.

Differences that remain are listed in KNOWN with their reason; the run fails
on one not listed, and on a listed one that no longer shows.

usage: private_pydicom.py --velkdump PATH [--verbose]
"""
import argparse
import csv
import glob
import gzip
import io
import os
import subprocess
import sys

import pydicom

PYDICOM = os.path.dirname(pydicom.__file__) + "/data"
SITE = "/usr/lib/python3/dist-packages"
PACKAGES = ["/usr/lib/python3/dist-packages/heudiconv/tests/data",
            "/usr/lib/python3/dist-packages/nibabel/nicom/tests/data",
            "/usr/lib/python3/dist-packages/nibabel/tests/data"]

TEXT_VRS = {"AE", "AS", "CS", "DA", "DS", "DT", "IS", "LO", "LT", "PN", "SH", "ST", "TM",
            "UI", "UT", "UC", "UR"}
NUMBER_VRS = {"US", "SS", "UL", "SL", "FL", "FD", "SV", "UV"}
BINARY_VRS = {"OB", "OW", "OF", "OD", "OL", "OV", "UN"}
CELL_BYTES = 24  # the bytes of a binary value a cell shows

# (file name relative to its folder, tag "(gggg,eeee)") -> reason
KNOWN = {}


def sample_files():
    """(name, path, gzipped) of the files to compare."""
    for path in sorted(glob.glob(PYDICOM + "/**/*", recursive=True)):
        if os.path.isfile(path) and not path.endswith((".gz", ".json", ".py", ".txt", ".dump")):
            yield os.path.relpath(path, PYDICOM), path, False
    for folder in PACKAGES:
        for path in sorted(glob.glob(folder + "/**/*.dcm*", recursive=True)):
            yield os.path.relpath(path, SITE), path, path.endswith(".gz")


def file_bytes(path, gzipped):
    with (gzip.open if gzipped else open)(path, "rb") as f:
        return f.read()


def pydicom_private(data):
    """tag text -> [(name, VR, element)] of the private elements pydicom names."""
    try:
        ds = pydicom.dcmread(io.BytesIO(data))
    except Exception:
        return None
    named = {}
    try:
        for elem in ds.iterall():
            if elem.tag.is_private and elem.name.startswith("["):
                key = f"({elem.tag.group:04X},{elem.tag.element:04X})"
                named.setdefault(key, []).append((elem.name, elem.VR, elem))
    except Exception:
        return None
    return named


def velk_rows(velkdump, path, data, gzipped):
    """tag text -> [(description, VR, value)] of velkdump's csv, in file order."""
    args = [velkdump, "--format=csv", "--interpret", "-" if gzipped else path]
    run = subprocess.run(args, input=data if gzipped else None, capture_output=True)
    rows = {}
    for row in csv.DictReader(io.StringIO(run.stdout.decode("utf-8", "replace"))):
        rows.setdefault(row["tag"], []).append((row["description"], row["VR"], row["value"]))
    return rows


def expected_text(elem):
    value = elem.value
    if value is None:
        return ""
    if isinstance(value, (list, tuple)) or type(value).__name__ == "MultiValue":
        return "\\".join(expected_one(v) for v in value)
    return expected_one(value)


def expected_one(v):
    original = getattr(v, "original_string", None)
    return (original if isinstance(original, str) else str(v)).strip(" \0")


def same_numbers(got, elem):
    values = elem.value if isinstance(elem.value, (list, tuple)) or \
        type(elem.value).__name__ == "MultiValue" else [elem.value]
    values = [v for v in values if v is not None]
    parts = [p for p in got.split("/") if p]
    if len(parts) != len(values):
        # A cell holds so many numbers: the ones it shows must agree.
        if len(parts) > len(values) or len(got) < 200:
            return False
        values = values[:len(parts) - 1]
        parts = parts[:len(parts) - 1]
    for p, v in zip(parts, values):
        try:
            x = float(p)
        except ValueError:
            return False
        if abs(x - float(v)) > 1e-5 * max(1.0, abs(float(v))):
            return False
    return True


def differences(name, expected, got):
    """(tag, what differs) for each named private element velkdump shows otherwise."""
    out = []
    for tag, elements in expected.items():
        rows = got.get(tag, [])
        for i, (pname, vr, elem) in enumerate(elements):
            if i >= len(rows):
                out.append((tag, "missing"))
                continue
            description, velk_vr, value = rows[i]
            if description != pname:
                out.append((tag, f"name {description!r} != {pname!r}"))
            if velk_vr.strip("()") != vr:
                out.append((tag, f"VR {velk_vr} != {vr}"))
                continue
            if vr in TEXT_VRS:
                text = expected_text(elem)
                shown = value.strip(" \0")
                if shown != text and not (len(value) >= 200 and text.startswith(value.rstrip())):
                    out.append((tag, f"value {shown[:40]!r} != {text[:40]!r}"))
            elif vr in NUMBER_VRS:
                if not same_numbers(value, elem):
                    out.append((tag, f"value {value[:40]!r} != {str(elem.value)[:40]!r}"))
            elif vr in BINARY_VRS and isinstance(elem.value, bytes):
                text = elem.value[:CELL_BYTES].hex().upper()
                if value != text and not elem.value.decode("latin-1").isprintable():
                    out.append((tag, f"value {value[:24]!r} != {text[:24]!r}"))
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--velkdump", required=True)
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    failures, files, elements, seen = [], 0, 0, set()
    for folder in PACKAGES:
        if not os.path.isdir(folder):
            print(f"not installed, its files left out: {folder}")
    for name, path, gzipped in sample_files():
        data = file_bytes(path, gzipped)
        if data[128:132] != b"DICM":
            continue
        expected = pydicom_private(data)
        if not expected:
            continue
        files += 1
        elements += sum(len(v) for v in expected.values())
        for tag, what in differences(name, expected, velk_rows(args.velkdump, path, data, gzipped)):
            seen.add((name, tag))
            reason = KNOWN.get((name, tag))
            if args.verbose or not reason:
                print(f"{name} {tag}: {what}" + (f" [{reason}]" if reason else ""))
            if not reason:
                failures.append((name, tag))
    for key, reason in KNOWN.items():
        if key not in seen:
            failures.append(key)
            print(f"{key[0]} {key[1]}: listed as differing ({reason}) but equal now")
    print(f"{files} files, {elements} named private elements, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
