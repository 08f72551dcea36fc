#!/usr/bin/python3
"""Counts the wine server requests a file costs a Windows program.

usage: wine_requests.py PROGRAM.exe ARGUMENT... (one of them a folder, as the
program takes it: Z:\\tmp\\DIR)

Runs PROGRAM twice under a wine server of its own started with -d1 (WINEPREFIX
as set; no other program of the prefix may run meanwhile), which writes every
request it answers to its standard error as "TID: name( ...". Counts, in the
second run, the
requests from the first open of a file below the folder to the program's end,
divides them by the files opened, and prints them by name: those of the threads
that opened the files, and those of wine's device manager (winedevice, another
process) answering on their behalf. The other processes' requests (wine's
services starting) are left out.
"""
import collections
import os
import re
import subprocess
import sys
import tempfile
import time

REQUEST = re.compile(r"^([0-9a-f]{4}): ([a-z_]+)\( ")


def count(lines, folder_mark):
    opens = [line for line in lines if "create_file(" in line and folder_mark in line]
    readers = {line[:4] for line in opens}
    devices = {line[:4] for line in lines if "get_next_device_request(" in line}
    first = lines.index(opens[0])
    own, device = collections.Counter(), collections.Counter()
    for line in lines[first:]:
        if "terminate_process(" in line and line[:4] in readers:
            break
        found = REQUEST.match(line)
        if not found:
            continue
        if found.group(1) in readers:
            own[found.group(2)] += 1
        elif found.group(1) in devices:
            device[found.group(2)] += 1
    return len(opens), own, device


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    program, arguments = sys.argv[1], sys.argv[2:]
    folder_mark = next(a for a in arguments if "\\" in a).rstrip("\\").split("\\")[-1]
    os.environ["WINEDEBUG"] = "-all"
    subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
    with tempfile.TemporaryFile() as log:
        server = subprocess.Popen(["wineserver", "-f", "-d1", "-p"], stderr=log)
        time.sleep(1)
        # A first run brings the prefix's services up and the files into the
        # page cache; only the second is counted.
        subprocess.run(["wine", program, *arguments], stdout=subprocess.DEVNULL)
        time.sleep(3)
        start = os.fstat(log.fileno()).st_size
        subprocess.run(["wine", program, *arguments], stdout=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-k"])
        server.wait()
        log.seek(start)
        lines = log.read().decode("latin-1").splitlines()
    files, own, device = count(lines, folder_mark)
    print(f"{files} opens below the folder (its files and subfolders); requests an open:")
    print("  the threads that open them:")
    for name, n in own.most_common():
        if n * 4 >= files:
            print(f"    {name:26} {n / files:6.2f}")
    print(f"    {'all':26} {sum(own.values()) / files:6.2f}")
    print(f"  wine's device manager: {sum(device.values()) / files:6.2f}")


if __name__ == "__main__":
    main()
