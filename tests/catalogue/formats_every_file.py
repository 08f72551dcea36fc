#!/usr/bin/python3
"""Lists every catalogue file in each of velkdump's formats.

usage: formats_every_file.py VELKDUMP FOLDER

For each file named in FOLDER/catalogue.txt (name and row count a line) and each
format, velkdump must end by itself with no sanitizer report; a file that is not
part-10 (no rows) must give exit status 1 and one line of reason, any other
exit status 0. The csv must read back with Python's csv module in strict mode
as a header and one record of seven fields per row; the json must be one
object.
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


def main():
    velkdump, folder = sys.argv[1], sys.argv[2]
    failures = 0
    with open(folder + "/catalogue.txt") as listing:
        entries = [line.split() for line in listing if line.strip()]
    for name, rows in entries:
        try:
            check_file(velkdump, f"{folder}/{name}.dcm", int(rows))
            print(f"ok   {name}")
        except (AssertionError, ValueError, csv.Error, subprocess.TimeoutExpired) as e:
            print(f"FAIL {name}: {e}")
            failures += 1
    print(f"{failures} of {len(entries)} files failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
