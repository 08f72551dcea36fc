#!/usr/bin/python3
"""Holds velkdump --check against dciodvfy (Debian's dicom3tools) on the files
pydicom ships: for each kind of finding, the files where both report it, where
only velk does and where only dciodvfy does, with the tags for the differences.
docs/check.md gives the figures and explains each difference.

usage: tests/check/compare_dciodvfy.py VELKDUMP [DIR]  (DIR: pydicom's data folder)
"""
import collections
import json
import os
import re
import subprocess
import sys

# dciodvfy's messages by kind; a message matching none is about the object's
# other modules (the IOD), which the check leaves alone.
KINDS = [
    ("value", r"Value (invalid|dubious) for this VR|Illegal root for UID|Value is zero"),
    ("group-length", r"Bad group length"),
    ("retired", r"Retired attribute -"),
    ("meta", r"MediaStorageSOP|FileMetaInformationVersion|Metaheader"),
    ("pixel", r"PixelData has incorrect value length|Bits Stored|High Bit|Planar"),
    ("order", r"Tags out of order"),
    ("vr", r"Explicit value representation|VR .* does not match"),
    ("vm", r"[Vv]alue [Mm]ultiplicity|Too many values|Too few values"),
    ("length", r"[Oo]dd length"),
    ("damage", r"read failed|Seek failed|giving up"),
    ("required", r"Missing attribute Type [12] Required|Empty attribute \(no value\) Type 1 "),
]
# The attributes the required kind covers, by the names dciodvfy writes.
REQUIRED = {
    "SOPClassUID": 0x00080016, "SOPInstanceUID": 0x00080018, "StudyDate": 0x00080020,
    "StudyTime": 0x00080030, "AccessionNumber": 0x00080050, "Modality": 0x00080060,
    "ReferringPhysicianName": 0x00080090, "PatientName": 0x00100010, "PatientID": 0x00100020,
    "PatientBirthDate": 0x00100030, "PatientSex": 0x00100040, "StudyInstanceUID": 0x0020000D,
    "SeriesInstanceUID": 0x0020000E, "StudyID": 0x00200010, "SeriesNumber": 0x00200011,
    "SamplesPerPixel": 0x00280002, "PhotometricInterpretation": 0x00280004, "Rows": 0x00280010,
    "Columns": 0x00280011, "BitsAllocated": 0x00280100, "BitsStored": 0x00280101,
    "HighBit": 0x00280102, "PixelRepresentation": 0x00280103,
}


def dciodvfy_findings(path):
    """(kind, tag or None) of each of dciodvfy's messages, and whether it aborted."""
    run = subprocess.run(["dciodvfy", path], capture_output=True, timeout=60)
    found = set()
    for line in run.stderr.decode("latin-1").splitlines():
        if not line.startswith(("Error", "Warning")):
            continue
        for kind, pattern in KINDS:
            if re.search(pattern, line):
                break
        else:
            continue
        tag = None
        m = re.search(r"\(0x([0-9a-f]{4}),0x([0-9a-f]{4})\)", line)
        if m:
            tag = int(m.group(1) + m.group(2), 16)
        m = re.search(r"Element=<(\w+)>", line)
        if kind == "required":
            if not m or m.group(1) not in REQUIRED:
                continue
            tag = REQUIRED[m.group(1)]
        m = re.search(r"Bad group length - Group 0x([0-9a-f]+)", line)
        if m:
            tag = int(m.group(1), 16) << 16
        found.add((kind, tag))
    return found, run.returncode < 0 or run.returncode > 1


def velk_findings(velkdump, path):
    run = subprocess.run([velkdump, "--check", "--format=json", "--interpret", path],
                         capture_output=True, text=True)
    if not run.stdout.strip():
        return None
    document = json.loads(run.stdout)
    return {(f["kind"], int(f["tag"], 16)) for f in document["findings"] if f["severity"] != "info"
            or f["kind"] == "retired"}


def main():
    velkdump = sys.argv[1]
    data = sys.argv[2] if len(sys.argv) > 2 else "/usr/lib/python3/dist-packages/pydicom/data"
    files = sorted(os.path.join(d, n) for d, _, ns in os.walk(data) for n in ns)
    table = collections.defaultdict(lambda: {"both": 0, "velk": [], "dciodvfy": []})
    aborted, unread = [], []
    for path in files:
        velk = velk_findings(velkdump, path)
        if velk is None:
            unread.append(path)
            continue
        theirs, abort = dciodvfy_findings(path)
        if abort:
            aborted.append(path)
        name = os.path.relpath(path, data)
        for kind, _ in KINDS:
            mine = {t for k, t in velk if k == kind}
            other = {t for k, t in theirs if k == kind}
            if not mine and not other:
                continue
            # dciodvfy names no tag for some messages: any of velk's agrees.
            if None in other and mine:
                other = (other - {None}) | mine
            if mine & other:
                table[kind]["both"] += 1
            for t in sorted(mine - other):
                table[kind]["velk"].append(f"{name} {t:08X}")
            for t in sorted(other - mine, key=lambda t: t or 0):
                table[kind]["dciodvfy"].append(f"{name} {t:08X}" if t is not None else name)
    print(f"{'kind':14} {'files both':>10} {'velk only':>10} {'dciodvfy only':>14}")
    for kind, _ in KINDS:
        row = table[kind]
        print(f"{kind:14} {row['both']:10} {len(row['velk']):10} {len(row['dciodvfy']):14}")
    for kind, _ in KINDS:
        for side in ("velk", "dciodvfy"):
            for item in table[kind][side]:
                print(f"  {kind} {side} only: {item}")
    print(f"dciodvfy aborted on {len(aborted)}: " + ", ".join(os.path.relpath(p, data) for p in aborted))
    print(f"not DICOM part-10 files (skipped): {len(unread)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
