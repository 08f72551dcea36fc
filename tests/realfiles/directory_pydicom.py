#!/usr/bin/python3
"""velkdump --directory and --index against pydicom on pydicom's DICOMDIR samples.

- The record tree of each DICOMDIR that pydicom's FileSet reads: node for node in
  tree order, the same depth, record type, record offset and referenced file.
- Every file a tree refers to is found and listed by --index.
- --index -r over every file pydicom ships: each key value column as pydicom
  reads it (big endian, deflated, implicit VR, character sets).

usage: directory_pydicom.py --velkdump PATH
"""
import argparse
import csv
import io
import json
import pathlib
import subprocess
import sys
import warnings

import pydicom
from pydicom.fileset import FileSet

DATA = pathlib.Path(pydicom.__file__).parent / "data"
FOLDER = DATA / "test_files/dicomdirtests"
# The index's columns that are one element's value, by pydicom's keyword.
COLUMNS = {"Patient's Name": "PatientName", "Patient ID": "PatientID",
           "Study Date": "StudyDate", "Modality": "Modality", "Series Number": "SeriesNumber",
           "Instance Number": "InstanceNumber", "Frames": "NumberOfFrames",
           "Study Description": "StudyDescription", "Series Description": "SeriesDescription"}


def pydicom_tree(path):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        fs = FileSet()
        fs.load(pydicom.dcmread(path), include_orphans=False)
    nodes = []
    for node in fs._tree:
        file_id = node._file_id if "ReferencedFileID" in node._record else None
        nodes.append((node.depth, node.record_type.strip(), node._offset,
                      file_id.as_posix() if file_id else ""))
    return nodes


def velkdump_tree(velkdump, path):
    run = subprocess.run([velkdump, "--directory", "--format=json", str(path)],
                         capture_output=True, text=True)
    nodes = [json.loads(line) for line in run.stdout.splitlines()]
    return [(n["depth"], n["type"], n["offset"], n["path"]) for n in nodes], nodes


def check_trees(velkdump):
    failures, paths, compared = [], set(), 0
    for path in sorted(FOLDER.rglob("DICOMDIR*")):
        try:
            expected = pydicom_tree(path)
        except Exception as e:  # pydicom refuses it: nothing to hold velkdump to
            print(f"skip {path.name}: pydicom: {e!r}")
            continue
        got, nodes = velkdump_tree(velkdump, path)
        # pydicom leaves out leaves that name no file; velkdump shows every record.
        shown = set(expected)
        kept = [g for g in got if g in shown]
        extra = [g for g in got if g not in shown and g[3]]
        if kept != expected or extra:
            failures.append(f"{path}: tree differs\n  pydicom:  {expected[:6]}...\n"
                            f"  velkdump: {got[:6]}...")
        for n in nodes:
            if n["path"]:
                paths.add(str(path.parent / n["path"]))
                if not n.get("found"):
                    failures.append(f"{path}: referenced file missing: {n['path']}")
        compared += 1
    return failures, sorted(paths), compared


def text_of(ds, keyword):
    """A value as the index shows it: empty for an absent or empty element, a
    person name without its trailing empty groups."""
    value = ds.get(keyword)
    if value is None or value == "":
        return ""
    return str(value).rstrip("=")


def check_index(velkdump, referenced):
    """Every part-10 file pydicom ships, indexed with -r, against pydicom."""
    failures = []
    run = subprocess.run([velkdump, "--index", "-r", "-j", "2", str(DATA)],
                         capture_output=True, text=True)
    rows = {r["Path"]: r for r in csv.DictReader(io.StringIO(run.stdout))}
    for path in referenced:
        if path not in rows or rows[path]["Problem"]:
            failures.append(f"{path}: referenced, not listed")
    for path, row in rows.items():
        try:
            ds = pydicom.dcmread(path, stop_before_pixels=True)
        except Exception:  # pydicom cannot read it: nothing to hold velkdump to
            continue
        expected = {column: text_of(ds, keyword) for column, keyword in COLUMNS.items()}
        expected["Rows x Columns"] = (f"{ds.Rows} x {ds.Columns}"
                                      if "Rows" in ds and "Columns" in ds else "")
        # pydicom drops a name's trailing empty groups; the index shows the value as stored.
        row["Patient's Name"] = row["Patient's Name"].rstrip("=")
        for column, value in expected.items():
            if row[column] != value:
                failures.append(f"{path}: {column}: velkdump {row[column]!r}, pydicom {value!r}")
    return failures, len(rows)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--velkdump", required=True)
    args = parser.parse_args()
    failures, paths, compared = check_trees(args.velkdump)
    index_failures, indexed = check_index(args.velkdump, paths)
    failures += index_failures
    for failure in failures:
        print(failure)
    print(f"{compared} trees, {len(paths)} referenced files and {indexed} indexed files "
          f"compared, {len(failures)} failures")
    return 1 if failures or compared == 0 or not paths or indexed < 100 else 0


sys.exit(main())
