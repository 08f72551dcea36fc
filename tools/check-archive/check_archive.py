#!/usr/bin/python3
"""Checks an archive of DICOM files on the workers of a Dask cluster.

The files (the regular files beneath the directories named, or the paths listed
one a line in --list files) are split into shards of --shard-size files; each
shard is one task, `velkdump --check -j N --format=json FILES...` on a worker.
Each worker writes its shard's JSON lines to the output folder, which every
worker and the client must see (a shared file system): a shard is finished
when its file is renamed into place, and the journal (journal.txt) records it.
A run that is started again with the same output folder checks only the shards
not finished, and a task whose shard is finished (a worker that died after
finishing it, so that Dask ran it again) does nothing: no shard is checked
twice. At the end the shards' lines are joined, in the order of the files, into
report.jsonl (one object per file, as velkdump writes them) and counted in
summary.csv (findings per kind and severity, files, files with errors, files
that could not be read).

usage: check_archive.py --velkdump PATH --out DIR [--scheduler ADDRESS | --workers N]
                        [--shard-size N] [--jobs N] [--interpret]
                        [--list FILE]... [PATH]...
Exit status: 0 when no file has an error, 1 when any has an error or could not
be read, 2 for a usage error.
"""
import argparse
import collections
import csv
import json
import os
import subprocess
import sys

# The shard list of a run, kept so that a resumed run cuts the same shards.
SHARDS_FILE = "shards.json"
JOURNAL_FILE = "journal.txt"
REPORT_FILE = "report.jsonl"
SUMMARY_FILE = "summary.csv"
# A message of velkdump's for a file found in a walk that is no DICOM file:
# velkdump -r leaves such files out quietly, and so does the report.
NOT_DICOM = 'not a DICOM part-10 file (no "DICM" at byte 128)'


def walk_key(path):
    """velkdump -r's order: by path, a component at a time."""
    return path.split(os.sep)


def find_files(paths, lists):
    """(path, walked) pairs in velkdump's order: named files as they are given,
    each directory replaced by the regular files beneath it."""
    found = []
    for listed in lists:
        with open(listed, encoding="utf-8") as f:
            found += [(line.rstrip("\n"), False) for line in f if line.strip()]
    for path in paths:
        if not os.path.isdir(path):
            found.append((path, False))
            continue
        walked = []
        for folder, _, files in os.walk(path):
            for name in files:
                full = os.path.join(folder, name)
                if os.path.isfile(full) and not os.path.islink(full):
                    walked.append(full)
        found += [(p, True) for p in sorted(walked, key=walk_key)]
    return found


def shard_path(out, index):
    return os.path.join(out, "shards", f"{index:06d}.jsonl")


def check_shard(index, files, velkdump, jobs, interpret, out):
    """On a worker: checks one shard unless it is finished already; answers its
    counts. Files are (path, walked) pairs."""
    done = shard_path(out, index)
    if not os.path.exists(done):
        command = [velkdump, "--check", "--format=json", "-j", str(jobs)]
        if interpret:
            command.append("--interpret")
        result = subprocess.run(command + ["--"] + [p for p, _ in files],
                                capture_output=True, text=True, encoding="utf-8",
                                errors="replace")
        walked = {p for p, w in files if w}
        problems = []
        prefix = "velkdump: "
        for line in result.stderr.splitlines():
            path, _, why = line[len(prefix):].rpartition(": ")
            if line.startswith(prefix) and path in walked and why == NOT_DICOM:
                continue
            problems.append(line)
        record = {"problems": problems, "returncode": result.returncode}
        temporary = done + f".{os.getpid()}.tmp"
        with open(temporary, "w", encoding="utf-8") as f:
            f.write(json.dumps(record) + "\n")
            f.write(result.stdout)
        os.replace(temporary, done)
        # One short line in one write: lines of several workers do not mix.
        with open(os.path.join(out, JOURNAL_FILE), "a", encoding="utf-8") as journal:
            journal.write(f"{index}\t{len(files)}\t{os.uname().nodename}:{os.getpid()}\n")
    return index


def read_shard(out, index):
    """(problems, report lines) of a finished shard."""
    with open(shard_path(out, index), encoding="utf-8") as f:
        record = json.loads(f.readline())
        return record["problems"], [line for line in f.read().splitlines() if line]


def load_shards(out, files, shard_size):
    """The shards of this output folder: those of its first run, or new ones."""
    path = os.path.join(out, SHARDS_FILE)
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            return json.load(f)
    shards = [files[i:i + shard_size] for i in range(0, len(files), shard_size)]
    os.makedirs(os.path.join(out, "shards"), exist_ok=True)
    with open(path + ".tmp", "w", encoding="utf-8") as f:
        json.dump(shards, f)
    os.replace(path + ".tmp", path)
    return shards


def run(client, shards, velkdump, out, jobs=1, interpret=False, on_done=None):
    """Checks the shards not finished on the client's cluster; calls
    on_done(count) after each. Answers how many were checked in this run."""
    from distributed import as_completed

    waiting = [i for i in range(len(shards)) if not os.path.exists(shard_path(out, i))]
    futures = [client.submit(check_shard, i, shards[i], velkdump, jobs, interpret, out,
                             key=f"velk-check-shard-{i}-{os.path.basename(out)}", pure=False)
               for i in waiting]
    count = 0
    for future in as_completed(futures):
        future.result()
        count += 1
        if on_done:
            on_done(count)
    return count


def write_report(out, shards):
    """Joins the shards into the report and the summary; answers whether any
    file has an error or could not be read, and the problems."""
    kinds = collections.Counter()
    files = files_with_errors = 0
    problems = []
    with open(os.path.join(out, REPORT_FILE), "w", encoding="utf-8") as report:
        for index in range(len(shards)):
            shard_problems, lines = read_shard(out, index)
            problems += shard_problems
            for line in lines:
                report.write(line + "\n")
                document = json.loads(line)
                files += 1
                errors = 0
                for finding in document["findings"]:
                    kinds[(finding["kind"], finding["severity"])] += 1
                    errors += finding["severity"] == "error"
                files_with_errors += errors > 0
    with open(os.path.join(out, SUMMARY_FILE), "w", encoding="utf-8", newline="") as f:
        writer = csv.writer(f)
        writer.writerow(["kind", "severity", "findings"])
        for (kind, severity), n in sorted(kinds.items()):
            writer.writerow([kind, severity, n])
        writer.writerow(["files checked", "", files])
        writer.writerow(["files with errors", "", files_with_errors])
        writer.writerow(["files not read", "", len(problems)])
    return files_with_errors > 0 or bool(problems), problems


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("paths", nargs="*")
    parser.add_argument("--list", action="append", default=[], help="a file listing paths")
    parser.add_argument("--velkdump", required=True, help="velkdump as the workers find it")
    parser.add_argument("--out", required=True, help="the output folder, shared by the workers")
    parser.add_argument("--scheduler", help="the cluster's scheduler, tcp://HOST:8786")
    parser.add_argument("--workers", type=int, default=2,
                        help="without --scheduler: a local cluster of N workers")
    parser.add_argument("--shard-size", type=int, default=500)
    parser.add_argument("--jobs", type=int, default=1, help="velkdump -j on each worker")
    parser.add_argument("--interpret", action="store_true")
    args = parser.parse_args(argv)
    if not args.paths and not args.list:
        parser.print_usage(sys.stderr)
        return 2
    from distributed import Client, LocalCluster

    os.makedirs(args.out, exist_ok=True)
    shards = load_shards(args.out, find_files(args.paths, args.list), max(1, args.shard_size))
    if args.scheduler:
        client = Client(args.scheduler)
    else:
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                               dashboard_address=None)
        client = Client(cluster)
    with client:
        run(client, shards, os.path.abspath(args.velkdump), os.path.abspath(args.out),
            args.jobs, args.interpret)
    failed, problems = write_report(args.out, shards)
    for line in problems:
        print(line, file=sys.stderr)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
