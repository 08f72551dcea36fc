#!/usr/bin/python3
"""Writes, with pydicom, the files that newer_vr_files_test.cpp reads: elements of
the VRs added to the standard since its first editions, each followed by an
element that a misread header would lose, and empty OW and OF values that end
their file.

usage: write_newer_vr_files.py DIR
"""
import os
import sys

from pydicom.dataset import Dataset, FileMetaDataset
from pydicom.uid import ExplicitVRLittleEndian, generate_uid


def save(directory, name, elements):
    meta = FileMetaDataset()
    meta.MediaStorageSOPClassUID = "1.2.840.10008.5.1.4.1.1.7"
    meta.MediaStorageSOPInstanceUID = generate_uid()
    meta.TransferSyntaxUID = ExplicitVRLittleEndian
    ds = Dataset()
    ds.file_meta = meta
    ds.is_little_endian = True
    ds.is_implicit_VR = False
    for tag, vr, value in elements:
        ds.add_new(tag, vr, value)
    ds.save_as(os.path.join(directory, name), write_like_original=False)


def main():
    directory = sys.argv[1]
    os.makedirs(directory, exist_ok=True)
    save(directory, "retrieve_url.dcm", [
        (0x00081190, "UR", "http://example.invalid/studies/1"),
        (0x00100010, "PN", "Doe^John"),
    ])
    save(directory, "extended_offset_table.dcm", [
        (0x7FE00001, "OV", (0).to_bytes(8, "little")),
        (0x7FE00002, "OV", (16).to_bytes(8, "little")),
        (0x7FE00010, "OW", bytes(16)),
    ])
    save(directory, "every_newer_vr.dcm", [
        (0x00091001, "UC", "unlimited characters"),
        (0x00091002, "UR", "http://example.invalid/"),
        (0x00091003, "OD", bytes(8)),
        (0x00091004, "OL", bytes(4)),
        (0x00091005, "OV", bytes(8)),
        (0x00091006, "SV", -2),
        (0x00091007, "UV", 2),
        (0x00100010, "PN", "Doe^Jane"),
    ])
    save(directory, "empty_ow_at_end.dcm", [
        (0x00100010, "PN", "Doe^John"),
        (0x7FE00010, "OW", b""),
    ])
    save(directory, "empty_of_at_end.dcm", [
        (0x00100010, "PN", "Doe^John"),
        (0x00660016, "OF", b""),
    ])
    return 0


if __name__ == "__main__":
    sys.exit(main())
