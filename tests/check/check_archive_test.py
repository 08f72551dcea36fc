#!/usr/bin/python3
"""The archive check on a local Dask cluster of two workers: over a generated
archive of 1,000 files its report is the one velkdump --check -r gives, though
the client stops half way and starts again and a worker is killed while it
works, and the journal shows each shard checked once.

usage: check_archive_test.py VELKDUMP
"""
import os
import signal
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools", "check-archive"))
import check_archive  # noqa: E402

FILES = 1000
SHARD_SIZE = 10


def element(group, number, vr, value):
    if len(value) % 2:
        value += b"\0" if vr == b"UI" else b" "
    return struct.pack("<HH", group, number) + vr + struct.pack("<H", len(value)) + value


def dicom_file(n):
    """A small file; one in three has a fault, in turn a date, an odd length
    and a missing attribute."""
    uid = f"1.2.826.0.1.3680043.2.1125.{n + 1}".encode()
    meta = (element(2, 1, b"OB", b"")[:6] + b"\0\0" + struct.pack("<I", 2) + b"\0\1"
            + element(2, 2, b"UI", b"1.2.840.10008.5.1.4.1.1.7") + element(2, 3, b"UI", uid)
            + element(2, 0x10, b"UI", b"1.2.840.10008.1.2.1"))
    date = b"2004.01.19" if n % 3 == 1 else b"20040119"
    data = (element(8, 0x16, b"UI", b"1.2.840.10008.5.1.4.1.1.7") + element(8, 0x18, b"UI", uid)
            + element(8, 0x20, b"DA", date) + element(8, 0x30, b"TM", b"120000")
            + element(8, 0x50, b"SH", b"") + element(8, 0x60, b"CS", b"OT")
            + element(8, 0x90, b"PN", b""))
    if n % 3 == 2:
        data += struct.pack("<HH", 0x10, 0x10) + b"PN" + struct.pack("<H", 3) + b"Doe"
    else:
        data += element(0x10, 0x10, b"PN", b"Doe^Jane")
    data += element(0x10, 0x20, b"LO", b"ID%d" % n) + element(0x10, 0x30, b"DA", b"")
    data += element(0x10, 0x40, b"CS", b"F")
    if n % 3 != 0:
        data += element(0x20, 0x0D, b"UI", b"1.2.3.4")
    data += (element(0x20, 0x0E, b"UI", b"1.2.3.5") + element(0x20, 0x10, b"SH", b"1")
             + element(0x20, 0x11, b"IS", b"1"))
    group_length = element(2, 0, b"UL", struct.pack("<I", len(meta)))
    return b"\0" * 128 + b"DICM" + group_length + meta + data


def make_archive(folder):
    for n in range(FILES):
        sub = os.path.join(folder, f"series{n % 7}", f"part{n % 3}")
        os.makedirs(sub, exist_ok=True)
        with open(os.path.join(sub, f"image{n:04d}.dcm"), "wb") as f:
            f.write(dicom_file(n))
    # Files a walk leaves out quietly.
    with open(os.path.join(folder, "series0", "README.txt"), "w") as f:
        f.write("not a DICOM file\n" * 20)


class stop_half_way(Exception):
    pass


def main():
    velkdump = os.path.abspath(sys.argv[1])
    from distributed import Client, LocalCluster

    with tempfile.TemporaryDirectory() as tmp:
        archive = os.path.join(tmp, "archive")
        out = os.path.join(tmp, "out")
        make_archive(archive)
        expected = subprocess.run([velkdump, "--check", "-r", "--format=json", archive],
                                  capture_output=True, text=True)
        assert expected.returncode == 1, expected.stderr

        # Each shard takes a moment, so that a run stopped half way leaves work.
        slow = os.path.join(tmp, "slow-velkdump")
        with open(slow, "w") as f:
            f.write(f'#!/bin/sh\nsleep 0.1\nexec "{velkdump}" "$@"\n')
        os.chmod(slow, 0o755)
        shards = check_archive.load_shards(out, check_archive.find_files([archive], []),
                                           SHARD_SIZE)
        assert len(shards) == FILES // SHARD_SIZE + 1  # the README file is one more
        cluster = LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                               dashboard_address=None)
        with Client(cluster) as client:
            # The client goes away half way ...
            def interrupt(count):
                if count == len(shards) // 4:
                    raise stop_half_way()
            try:
                check_archive.run(client, shards, slow, out, on_done=interrupt)
                raise AssertionError("the run was to stop half way")
            except stop_half_way:
                pass
            finished = len(os.listdir(os.path.join(out, "shards")))
            assert 0 < finished < len(shards), finished
            # ... and a worker dies while the rest is checked.
            pids = client.run(os.getpid)
            killed = []

            def kill_one(count):
                if count == 2:
                    os.kill(next(iter(pids.values())), signal.SIGKILL)
                    killed.append(True)
            check_archive.run(client, shards, slow, out, on_done=kill_one)
            assert killed, "the second run was to find shards left to check"

        cluster.close()

        failed, problems = check_archive.write_report(out, shards)
        assert failed and not problems, problems
        with open(os.path.join(out, check_archive.REPORT_FILE), encoding="utf-8") as f:
            report = f.read()
        assert report == expected.stdout, "the report differs from velkdump --check -r"
        with open(os.path.join(out, check_archive.JOURNAL_FILE), encoding="utf-8") as f:
            checked = [line.split("\t")[0] for line in f]
        assert sorted(checked, key=int) == [str(i) for i in range(len(shards))], checked
        with open(os.path.join(out, check_archive.SUMMARY_FILE), encoding="utf-8") as f:
            summary = f.read()
        assert f"files checked,,{FILES}" in summary, summary
        assert "value,error,333" in summary and "required,error,334" in summary, summary
    print(f"check_archive: {FILES} files in {len(shards)} shards, report as velkdump's")
    return 0


if __name__ == "__main__":
    sys.exit(main())
