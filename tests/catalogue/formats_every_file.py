#!/usr/bin/python3
"""Lists every catalogue file in each of velkdump's formats.

usage: formats_every_file.py VELKDUMP FOLDER

For each file named in FOLDER/catalogue.txt (name and row count a line) and each
format, velkdump must end by itself with no sanitizer report; a file that is not
part-10 (no rows) must give exit status 1 and one line of reason, any other
exit status 0. The csv must read back with Python's csv module in strict mode
as a header and one record of seven fields per row; the json must be one
object. Then all files in one run with -j 2: the one-line-a-file json and the
path column of csv must still parse, with every part-10 file in argument order.
"""
import csv
import io
import json
import subprocess
import sys

COLUMNS = ["depth", "tag", "VR", "length", "description", "value", "offset"]


def run(velkdump, args):
    done = subprocess.run([velkdump, *args], capture_output=True, timeout=300)
    err = done.stderr.decode("utf-8", "replace")
    if "Sanitizer" in err or "runtime error" in err:
        raise AssertionError("sanitizer report:\n" + err[:2000])
    return done.returncode, done.stdout.decode("utf-8"), err


def csv_records(text):
    return list(csv.reader(io.StringIO(text, newline=""), strict=True))


def check_file(velkdump, path, rows):
    for fmt in ("csv", "json"):
        status, out, err = run(velkdump, ["--format=" + fmt, path])
        if rows == 0 and status == 1:
            if len(err.splitlines()) != 1 or "part-10" not in err:
                raise AssertionError(f"{fmt}: status 1 without one line of reason: {err!r}")
            continue
        if status != 0:
            raise AssertionError(f"{fmt}: exit status {status}: {err!r}")
        if fmt == "csv":
            records = csv_records(out)
            if records[0] != COLUMNS or len(records) != rows + 1:
                raise AssertionError(f"csv: {len(records) - 1} records for {rows} rows")
            if any(len(r) != len(COLUMNS) for r in records):
                raise AssertionError("csv: a record without seven fields")
        elif not isinstance(json.loads(out), dict):
            raise AssertionError("json: not one object")


def check_together(velkdump, paths, part10):
    status, out, _ = run(velkdump, ["--format=json", "-j", "2", *paths])
    listed = [json.loads(line)["path"] for line in out.splitlines()]
    if listed != part10 or status != (0 if len(part10) == len(paths) else 1):
        raise AssertionError(f"json -j 2: {len(listed)} objects for {len(part10)} files")
    _, out, _ = run(velkdump, ["--format=csv", "-j", "2", *paths])
    records = csv_records(out)
    if records[0] != ["path"] + COLUMNS or any(len(r) != 8 for r in records):
        raise AssertionError("csv -j 2: records without a path and seven fields")


def main():
    velkdump, folder = sys.argv[1], sys.argv[2]
    failures = 0
    paths, part10 = [], []
    with open(folder + "/catalogue.txt") as listing:
        entries = [line.split() for line in listing if line.strip()]
    for name, rows in entries:
        path = f"{folder}/{name}.dcm"
        paths.append(path)
        try:
            check_file(velkdump, path, int(rows))
            with open(path, "rb") as f:
                if f.read(132)[128:] == b"DICM":
                    part10.append(path)
            print(f"ok   {name}")
        except (AssertionError, ValueError, csv.Error, subprocess.TimeoutExpired) as e:
            print(f"FAIL {name}: {e}")
            failures += 1
    try:
        check_together(velkdump, paths, part10)
        print("ok   all files together")
    except (AssertionError, ValueError, csv.Error) as e:
        print(f"FAIL all files together: {e}")
        failures += 1
    print(f"{failures} of {len(entries) + 1} checks failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
