#!/usr/bin/python3
"""Holds velkdump's rows against pydicom's own reading of pydicom's sample files.

For every file under pydicom's data folders, velkdump lists the rows and pydicom
reads the same file; each element pydicom reports (file meta, data set, sequence
items and their elements, encapsulated fragments) must appear as a row at the
same offset with the same tag, length, depth and, for explicit VR elements, VR.
The rows pydicom has no counterpart for are the delimiters.

The differences that remain are listed in KNOWN_DIFFERENCES with their reason.
The run fails when a file shows a difference that is not listed, and when a
listed difference no longer shows (so that the list stays true).

With --interpret, velkdump reads in its Interpret mode, where every VR is
checked (one taken from the dictionary is written "(US)"), the offsets of a
deflated data set count in its inflated bytes (written "z123"), and every text
value of a file in charset_files must equal pydicom's decoded value. Its list of
known differences is INTERPRET_KNOWN_DIFFERENCES.

usage: compare_pydicom.py --velkdump PATH [--interpret] [--verbose]
"""
import argparse
import os
import re
import subprocess
import sys

import pydicom
from pydicom.datadict import dictionary_VR
from pydicom.dataelem import RawDataElement
from pydicom.encaps import generate_pixel_data_fragment
from pydicom.filebase import DicomBytesIO
from pydicom.filereader import read_preamble

DATA = os.path.dirname(pydicom.__file__) + "/data"
FOLDERS = ("test_files", "charset_files", "palettes")

# The long-form VRs as velk reads them (PS3.5 table 7.1-1 of its time); pydicom
# also knows the later ones, UC, UR, OD, OL, OV, SV and UV.
VELK_LONG_VRS = {"OB", "OW", "OF", "SQ", "UT", "UN"}
PYDICOM_LONG_VRS = VELK_LONG_VRS | {"UC", "UR", "OD", "OL", "OV", "SV", "UV"}

BIG_ENDIAN = "big endian data set: walked as little endian by design"
DEFLATED = "deflated data set: its compressed bytes are walked as explicit VR little endian by design"
IMPLICIT_SQ = ("implicit VR sequence of defined length: without an explicit \"SQ\" it is "
               "no container, so its items are not listed (pydicom knows from its dictionary)")
IMPLICIT_UNDER_EXPLICIT = ("the data set is implicit VR although the transfer syntax says "
                           "explicit: pydicom notices, velk reads what the syntax says")
NO_SYNTAX = ("no Transfer Syntax UID and an implicit VR data set: velk keeps explicit VR "
             "little endian, the mode every file starts in")
LOW_GROUPS = ("elements of groups 0000 to 0002 after the file meta information of an "
              "implicit VR file: velk reads them as explicit, as it does the meta group")
UN_CONTENT = ("UN of undefined length holds implicit VR little endian (PS3.5 section 6.2.2); "
              "velk descends into it in the data set's own syntax")
REPEATED_TAG = "a tag repeated in the data set: pydicom keeps one, velk lists both"

ALL_THREE = frozenset({"different_rows", "extra_rows", "missing_rows"})

# file (relative to pydicom's data folder) -> (reason, the kinds of difference it causes)
KNOWN_DIFFERENCES = {
    "test_files/ExplVR_BigEnd.dcm": (BIG_ENDIAN, ALL_THREE),
    "test_files/MR_small_bigendian.dcm": (BIG_ENDIAN, ALL_THREE),
    "test_files/MR_small_expb.dcm": (BIG_ENDIAN, ALL_THREE),
    "test_files/dicomdirtests/DICOMDIR-bigEnd": (BIG_ENDIAN, ALL_THREE),
    "test_files/liver_expb_1frame.dcm": (BIG_ENDIAN, ALL_THREE),
    "test_files/rtdose_expb.dcm": (BIG_ENDIAN, ALL_THREE),
    "test_files/rtdose_expb_1frame.dcm": (BIG_ENDIAN, {"different_rows", "missing_rows"}),
    "test_files/image_dfl.dcm": (DEFLATED, ALL_THREE),
    "test_files/dicomdirtests/DICOMDIR-implicit": (IMPLICIT_SQ, {"missing_rows"}),
    "test_files/rtdose.dcm": (IMPLICIT_SQ, {"missing_rows"}),
    "test_files/rtdose_1frame.dcm": (IMPLICIT_SQ, {"missing_rows"}),
    "test_files/rtplan.dcm": (IMPLICIT_SQ, {"missing_rows"}),
    "test_files/rtplan_truncated.dcm": (IMPLICIT_SQ, {"missing_rows"}),
    "test_files/SC_rgb_jpeg.dcm": (IMPLICIT_UNDER_EXPLICIT, ALL_THREE),
    "test_files/meta_missing_tsyntax.dcm": (NO_SYNTAX, {"different_rows", "missing_rows"}),
    "test_files/nested_priv_SQ.dcm": (LOW_GROUPS, {"different_rows", "missing_rows"}),
    "test_files/UN_sequence.dcm": (UN_CONTENT, ALL_THREE),
    "palettes/winter.dcm": (REPEATED_TAG, {"extra_rows"}),
}

# The Interpret mode's known differences: file -> (reason, kinds). Only files that
# pydicom itself reads wrong.
INTERPRET_KNOWN_DIFFERENCES = {
    # (0008,0018) is there twice, at offsets 470 and 498: pydicom's data set is a
    # dictionary by tag and silently drops one of them.
    "palettes/winter.dcm": (REPEATED_TAG, {"extra_rows"}),
}

ROW = re.compile(
    r"( *)\(([0-9A-F]{4}),([0-9A-F]{4})\);\1([^;\n]*);\1(-?\d+);\1([^;\n]*);\1(.*?);\1(z?\d+)\n",
    re.S)

# The VRs whose values are decoded by the Specific Character Set.
CHARSET_VRS = {"SH", "LO", "ST", "LT", "PN", "UC", "UT"}


class Row:
    def __init__(self, m):
        self.depth = len(m.group(1))
        self.tag = (int(m.group(2), 16) << 16) | int(m.group(3), 16)
        self.vr = m.group(4).strip("()")
        self.vr_from_dictionary = m.group(4).startswith("(")
        self.length = int(m.group(5)) & 0xFFFFFFFF
        self.data = m.group(7)
        self.offset = m.group(8)  # text: "z" marks an offset in inflated bytes


def velkdump_rows(velkdump, path, interpret=False):
    run = subprocess.run([velkdump] + (["--interpret"] if interpret else []) + [path],
                         capture_output=True)
    text = run.stdout.decode("utf-8")
    rows, pos = [], 0
    for m in ROW.finditer(text):
        if m.start() != pos:
            raise ValueError(f"unparsable velkdump output at byte {pos}")
        rows.append(Row(m))
        pos = m.end()
    if pos != len(text):
        raise ValueError(f"unparsable velkdump output at byte {pos}")
    return run.returncode, rows


class Expected:
    """One element as pydicom reads it."""

    def __init__(self, tag, offset, length, depth, vr, text=None):
        self.tag, self.length, self.depth, self.vr, self.text = tag, length, depth, vr, text
        self.offset = ("z" if INFLATED else "") + str(offset)


# Whether the elements being collected lie in a deflated data set's inflated bytes.
INFLATED = False
# Whether velkdump reads in its Interpret mode, and the bytes of the file read.
INTERPRET = False
FILE_BYTES = b""


def read_as_un(offset, implicit):
    """Whether the file holds the element at offset with the explicit VR "UN":
    its value, sequence items included, is implicit VR little endian."""
    return not implicit and FILE_BYTES[offset + 4:offset + 6] == b"UN"


def header_length(vr, implicit):
    return 8 if implicit or vr not in PYDICOM_LONG_VRS else 12


def fragments(raw, frame, depth, out):
    """The items of encapsulated pixel data: offset table first, then fragments."""
    offset = frame + raw.value_tell
    stream = DicomBytesIO(raw.value)
    stream.is_little_endian = True
    # The basic offset table is an item like the fragments that follow it.
    stream.read(4)
    table_length = int.from_bytes(stream.read(4), "little")
    out.append(Expected(0xFFFEE000, offset, table_length, depth, ""))
    offset += 8 + table_length
    stream.seek(8 + table_length)
    for fragment in generate_pixel_data_fragment(stream):
        out.append(Expected(0xFFFEE000, offset, len(fragment), depth, ""))
        offset += 8 + len(fragment)


def walk(ds, depth, implicit, out, notes, frame=0):
    """Appends the elements of ds. pydicom reads a defined-length sequence from a
    copy of its value, so positions inside it count from `frame`, the file offset
    of that copy's first byte."""
    for tag in list(ds._dict.keys()):
        elem = ds._dict[tag]
        was_raw = isinstance(elem, RawDataElement)
        file_vr = getattr(elem.VR, "value", elem.VR) or ""
        if isinstance(elem, RawDataElement):
            elem_implicit = elem.is_implicit_VR
            vr = file_vr if not elem_implicit else ""
            hl = header_length(file_vr, elem_implicit)
            offset = frame + elem.value_tell - hl
            length = elem.length
            if not elem_implicit and file_vr in PYDICOM_LONG_VRS - VELK_LONG_VRS:
                notes.add("newer_long_vr")
        else:  # converted already: file meta, or an undefined-length sequence
            elem_implicit = implicit
            vr = file_vr if not implicit else ""
            hl = header_length(file_vr, implicit)
            offset = frame + elem.file_tell - hl
            length = 0xFFFFFFFF if elem.is_undefined_length else None
        out.append(Expected(int(tag), offset, length, depth, vr,
                            decoded_text(ds, tag, file_vr, elem_implicit)))
        is_sequence = file_vr == "SQ" or (elem_implicit and _dictionary_vr(tag) == "SQ")
        nested_implicit = implicit
        if INTERPRET and not INFLATED and read_as_un(offset, elem_implicit):
            # The Interpret mode reads a UN sequence's items, as pydicom does.
            is_sequence = is_sequence or _dictionary_vr(tag) == "SQ"
            nested_implicit = True
        if is_sequence:
            if elem_implicit and length not in (0xFFFFFFFF, 0, None):
                notes.add("implicit_sq")
            # An undefined-length sequence is read in place; a defined-length one
            # from a copy of its value.
            if was_raw:
                inner = frame + elem.value_tell
            else:
                inner = frame if elem.is_undefined_length else frame + elem.file_tell
            for item in ds[tag].value:
                item_length = 0xFFFFFFFF if item.is_undefined_length_sequence_item else None
                out.append(Expected(0xFFFEE000, frame + item.seq_item_tell, item_length,
                                    depth + 1, ""))
                walk(item, depth + 2, nested_implicit, out, notes, inner)
        elif (isinstance(elem, RawDataElement) and length == 0xFFFFFFFF
              and file_vr in ("OB", "OW", "OB or OW") and not elem_implicit):
            fragments(elem, frame, depth + 1, out)
        elif (INTERPRET and isinstance(elem, RawDataElement) and length == 0xFFFFFFFF
              and elem_implicit and int(tag) == 0x7FE00010):
            # Encapsulated pixel data in an implicit VR data set, which the
            # Interpret mode reads as the data set shows it.
            fragments(elem, frame, depth + 1, out)


def decoded_text(ds, tag, file_vr, implicit):
    """pydicom's decoded value of a text element, as one string: values joined
    by "\\", as the file holds them."""
    vr = _dictionary_vr(tag) if implicit or file_vr == "UN" else file_vr
    if vr not in CHARSET_VRS:
        return None
    try:
        value = ds[tag].value
    except Exception:
        return None
    if value is None:
        return ""
    if isinstance(value, (list, tuple)) or type(value).__name__ == "MultiValue":
        return "\\".join(str(v) for v in value)
    return str(value)


def _dictionary_vr(tag):
    try:
        return dictionary_VR(tag)
    except KeyError:
        return ""


def pydicom_reading(path, interpret=False):
    """(is part 10, expected elements, notes) as pydicom sees the file."""
    with open(path, "rb") as fp:
        try:
            if read_preamble(fp, force=True) is None:
                return False, [], set()
        except Exception:
            return False, [], set()
    notes = set()
    try:
        ds = pydicom.dcmread(path, defer_size=None)
    except Exception:
        notes.add("pydicom_failed")
        return True, [], notes
    syntax = ds.file_meta.get("TransferSyntaxUID", "")
    if syntax == pydicom.uid.ExplicitVRBigEndian:
        notes.add("big_endian")
    if syntax == pydicom.uid.DeflatedExplicitVRLittleEndian:
        notes.add("deflated")
    out = []
    global INFLATED, INTERPRET, FILE_BYTES
    INTERPRET = interpret
    with open(path, "rb") as fp:
        FILE_BYTES = fp.read()
    walk(ds.file_meta, 0, False, out, notes)
    INFLATED = interpret and "deflated" in notes
    try:
        walk(ds, 0, ds.is_implicit_VR, out, notes)
    except Exception:
        notes.add("pydicom_failed")
    INFLATED = False
    return True, out, notes


def same_text(shown, decoded):
    """A cell keeps at most 259 bytes of UTF-8 and pads as the file does."""
    # pydicom writes a person name without its empty trailing groups.
    shown, decoded = shown.rstrip(" \0=^"), decoded.rstrip(" \0=^")
    if len(decoded.encode("utf-8")) > 259:
        return decoded.startswith(shown.rstrip("\ufffd"))
    return shown == decoded


def compare(velkdump, path, interpret=False):
    """The kinds of difference between the two readings of one file."""
    is_part10, expected, notes = pydicom_reading(path, interpret)
    status, rows = velkdump_rows(velkdump, path, interpret)
    kinds = set()
    if not is_part10:
        if status != 1 or rows:
            kinds.add("listed_a_file_pydicom_rejects")
        return kinds, notes
    if status != 0:
        kinds.add("rejected")
        return kinds, notes
    by_offset = {}
    for r in rows:
        by_offset.setdefault(r.offset, r)
    matched = set()
    for e in expected:
        r = by_offset.get(e.offset)
        if r is None:
            kinds.add("missing_rows")
            continue
        matched.add(e.offset)
        if (r.tag != e.tag or r.depth != e.depth % 16
                or (e.length is not None and r.length != e.length)
                or (e.vr and r.vr != e.vr
                    and not (e.vr == "UN" and r.vr_from_dictionary))):
            kinds.add("different_rows")
        if interpret and "charset_files" in path and e.text is not None:
            if not same_text(r.data, e.text):
                kinds.add("different_text")
    for r in rows:
        if r.offset not in matched and r.tag not in (0xFFFEE00D, 0xFFFEE0DD):
            kinds.add("extra_rows")
    return kinds, notes


def data_files():
    for folder in FOLDERS:
        for root, _, names in os.walk(os.path.join(DATA, folder)):
            for name in sorted(names):
                yield os.path.relpath(os.path.join(root, name), DATA)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--velkdump", required=True)
    parser.add_argument("--interpret", action="store_true")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    known_differences = INTERPRET_KNOWN_DIFFERENCES if args.interpret else KNOWN_DIFFERENCES
    passed = failed = 0
    for rel in sorted(data_files()):
        kinds, notes = compare(args.velkdump, os.path.join(DATA, rel), args.interpret)
        reason, known = known_differences.get(rel, ("", frozenset()))
        problems = [f"unexplained difference '{k}'" for k in sorted(kinds - set(known))]
        problems += [f"listed difference '{k}' ({reason}) no longer shows; update the list"
                     for k in sorted(set(known) - kinds)]
        for problem in problems:
            print(f"FAIL {rel}: {problem}")
        if args.verbose and kinds:
            print(f"{rel}: {sorted(kinds)} {sorted(notes)}: {reason or 'not listed'}")
        failed += bool(problems)
        passed += not problems
    print(f"{len(known_differences)} files with known differences")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
