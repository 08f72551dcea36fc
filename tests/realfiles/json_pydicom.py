#!/usr/bin/python3
"""Holds velkdump's json format against pydicom's reading of pydicom's sample files.

Every part-10 file that pydicom reads is listed by one velkdump run
(--format=json, several files: one {"path", "dataset"} object a line). Each
dataset is read back with pydicom's Dataset.from_json and must equal pydicom's
own reading of the file's data set, which holds no file meta information (no
group 0002 element, as pydicom's to_json writes it), element by element
and item by item: the same tags, VRs and values. Binary values are written as
BulkDataURIs: for them the URI's bytes must be the bytes pydicom read.

Both readings are held: the Interpret reading (--interpret), which reads
every file as pydicom does, and the default one, which may differ only on the
files that need Interpret (needs_interpret() tells them by their bytes). The
differences that remain are listed in KNOWN_DIFFERENCES with their reason.
The run fails when a file shows a difference that is not listed or excused,
and when a listed file no longer shows one (so that the list stays true).

usage: json_pydicom.py --velkdump PATH [--verbose]
"""
import argparse
import base64
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

NOT_A_NUMBER = ("an IS value that is no number ('1A'): written as the string it is, which "
                "pydicom's from_json refuses")

# reason -> files (relative to pydicom's data folder) that differ for it, in
# both readings (the default reading also differs on every file that needs
# Interpret, see needs_interpret()).
KNOWN = {
    NOT_A_NUMBER: ["test_files/badVR.dcm"],
}
KNOWN_DIFFERENCES = {name: reason for reason, names in KNOWN.items() for name in names}

DEFAULT_CHARSETS = {"", "ISO_IR 6", "ISO_IR 100"}


def needs_interpret(path, ds):
    """Why the default reading cannot equal pydicom's, or None: a data set that is
    not explicit VR little endian (implicit, big endian, deflated, or implicit
    although the syntax says explicit), text in a character set other than
    Latin-1, or elements the file marks UN (pydicom reads them by its dictionary)."""
    syntax = ds.file_meta.get("TransferSyntaxUID", "")
    if ds.is_implicit_VR or not ds.is_little_endian or syntax in (
            "1.2.840.10008.1.2", "1.2.840.10008.1.2.2", "1.2.840.10008.1.2.1.99"):
        return "data set not in explicit VR little endian"
    for elem in ds.iterall():
        if elem.tag == 0x00080005:
            values = elem.value if isinstance(elem.value, (list, tuple)) or \
                type(elem.value).__name__ == "MultiValue" else [elem.value]
            if any((v or "").strip() not in DEFAULT_CHARSETS for v in values):
                return "character set other than Latin-1"
    with open(path, "rb") as f:
        data = f.read()
    if b"UN\0\0" in data:
        return "elements marked UN"
    meta_end = 144 + int.from_bytes(data[140:144], "little") if data[132:136] == b"\2\0\0\0" else 0
    if meta_end and not data[meta_end + 4:meta_end + 6].isupper():
        return "an implicit VR data set under an explicit VR syntax"
    return None


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
            written = raw.get(f"{int(tag):08X}", {})
            uri, inline = written.get("BulkDataURI"), written.get("InlineBinary")
            data = a.value if isinstance(a.value, bytes) else b""
            got_bytes = bulk_bytes(uri) if uri else base64.b64decode(inline) if inline else b""
            if got_bytes != data:
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
    # The file meta information is no part of the data set (pydicom's to_json
    # leaves it out too): the data set read back holds no group 0002 element.
    expected = Dataset()
    for elem in ds:
        expected.add(elem)
    try:
        got = Dataset.from_json(document, bulk_data_uri_handler=lambda *args: None)
    except Exception as e:
        return [f"from_json failed: {e}"]
    out = []
    compare(expected, got, document, "", out)
    return out


def listings(velkdump, files, interpret):
    """path -> the dataset velkdump's json holds, and velkdump's failure or None."""
    run = subprocess.run([velkdump, "--format=json", *(["--interpret"] if interpret else []),
                          "-j", "2", *files], capture_output=True)
    listed = {}
    for line in run.stdout.decode("utf-8").splitlines():
        record = json.loads(line)
        listed[record["path"]] = record["dataset"]
    failure = None
    if run.returncode != 0:
        failure = f"velkdump exit status {run.returncode}: {run.stderr.decode()[:500]}"
    return listed, failure


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--velkdump", required=True)
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()

    files = dict(pydicom_files())
    failures, matched, known_count, excused = [], 0, 0, 0
    for interpret in (False, True):
        reading = "interpret" if interpret else "default"
        listed, failure = listings(args.velkdump, files, interpret)
        if failure:
            failures.append(f"{reading}: {failure}")
        for path, ds in files.items():
            name = os.path.relpath(path, DATA)
            known = KNOWN_DIFFERENCES.get(name)
            excuse = None if interpret else needs_interpret(path, ds)
            if path not in listed:
                failures.append(f"{reading} {name}: not listed")
                continue
            found = differences(path, ds, listed[path])
            if found and not known and not excuse:
                failures.append(f"{reading} {name}: " + "; ".join(found[:5]))
            elif not found and known:
                failures.append(f"{reading} {name}: listed as differing ({known}) but equal now")
            elif not found:
                matched += interpret
            elif known:
                known_count += interpret
            else:
                excused += 1
            if args.verbose and found:
                print(f"{reading} {name}: {len(found)} differences: " + "; ".join(found[:3]))
    print(f"Interpret: {matched} of {len(files)} files equal, {known_count} known differences; "
          f"default: {excused} files differ that need Interpret; {len(failures)} failures")
    for f in failures:
        print("FAIL " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
