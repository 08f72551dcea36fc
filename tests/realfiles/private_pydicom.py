#!/usr/bin/python3
"""Holds velkdump's Interpret reading of private elements against pydicom's, on
every file holding private elements among pydicom's samples and the vendors'
files heudiconv and python3-nibabel ship (gzipped ones through standard input).
Every private element pydicom names ("[CSA Image Header Info]") must show, in
velkdump's row of the same occurrence of its tag, the same name and VR, text
equal, numbers equal to six significant digits. Any difference fails the run.

usage: private_pydicom.py --velkdump PATH
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


def sample_files():
    """(name, path, gzipped) of the files to compare."""
    for path in sorted(glob.glob(PYDICOM + "/**/*", recursive=True)):
        if os.path.isfile(path) and not path.endswith((".gz", ".json", ".py", ".txt", ".dump")):
            yield os.path.relpath(path, PYDICOM), path, False
    for folder in PACKAGES:
        for path in sorted(glob.glob(folder + "/**/*.dcm*", recursive=True)):
            yield os.path.relpath(path, SITE), path, path.endswith(".gz")


def pydicom_private(data):
    """tag text -> [(name, VR, element)] of the private elements pydicom names."""
    named = {}
    try:
        for elem in pydicom.dcmread(io.BytesIO(data)).iterall():
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


def values_of(elem):
    value = elem.value
    multi = isinstance(value, (list, tuple)) or type(value).__name__ == "MultiValue"
    return value if multi else [] if value is None else [value]


def expected_text(elem):
    """pydicom's value as text, values joined by backslashes."""
    values = values_of(elem)
    return "\\".join(str(getattr(v, "original_string", None) or v).strip(" \0") for v in values)


def same_numbers(got, elem):
    """Numbers joined by "/", as a cell writes them (six significant digits);
    a cell cut by its width shows the first ones, the last perhaps in part."""
    values, parts = values_of(elem), got.split("/")
    if len(parts) < len(values):
        parts, values = parts[:-1], values[:len(parts) - 1]
    return len(parts) == len(values) and all(
        abs(float(p) - float(v)) <= 1e-5 * max(1.0, abs(float(v))) for p, v in zip(parts, values))


def differences(expected, got):
    """(tag, what differs) for each named private element velkdump shows otherwise."""
    out = []
    for tag, elements in expected.items():
        rows = got.get(tag, [])
        for i, (pname, vr, elem) in enumerate(elements):
            description, velk_vr, value = rows[i] if i < len(rows) else ("missing", "", "")
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
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--velkdump", required=True)
    args = parser.parse_args()
    failures, files, elements = 0, 0, 0
    for folder in PACKAGES:
        if not os.path.isdir(folder):
            print(f"not installed, its files left out: {folder}")
    for name, path, gzipped in sample_files():
        with (gzip.open if gzipped else open)(path, "rb") as f:
            data = f.read()
        expected = pydicom_private(data) if data[128:132] == b"DICM" else None
        if not expected:
            continue
        files += 1
        elements += sum(len(v) for v in expected.values())
        for tag, what in differences(expected, velk_rows(args.velkdump, path, data, gzipped)):
            print(f"{name} {tag}: {what}")
            failures += 1
    print(f"{files} files, {elements} named private elements, {failures} differences")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
