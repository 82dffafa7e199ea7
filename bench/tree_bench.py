#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times pellamy-report --recursive against du, find, gdu and a minimal two-thread walker.

Makes (once, then reuses) a tree of 1,000,000 sparse files with about 40 extensions in 10,000
folders nested up to 6 deep, then runs on it and on /usr, alternating, with a warm cache:
  floor      a minimal walker: two threads, each reading whole folders with getdents64 + statx
             (bench/tree_floor.cpp)
  summary    pellamy-report --recursive FOLDER (the type list of the whole tree)
  du         du -s FOLDER
  find       find FOLDER -printf '%s %f\\n'
  gdu        gdu -n -p FOLDER (skipped when gdu is not installed)
and prints the median wall time of each, its ratio to du -s and to the floor, the median processor
time (user and system over all threads) with its ratio to du's, and peak memory.

    python3 bench/tree_bench.py --build build/release [--root /tmp/pellamy-bench] [--runs 5]
"""

import argparse
import os
import random
import resource
import shutil
import statistics
import subprocess
import sys

EXTENSIONS = [".txt", ".log", ".jpg", ".JPG", ".png", ".pdf", ".doc", ".docx", ".xls", ".csv", ".xml",
              ".html", ".css", ".js", ".json", ".py", ".c", ".h", ".cpp", ".hpp", ".o", ".so", ".a",
              ".zip", ".gz", ".tar", ".mp3", ".mp4", ".mkv", ".wav", ".svg", ".md", ".ini", ".conf",
              ".bak", ".tmp", ".iso", ".bin", ".dat", ""]
MAX_DEPTH = 6


def make_tree(path, files, folders):
    """A tree of `files` sparse files spread over `folders` folders (the root included)."""
    marker = os.path.join(path, ".complete")
    if os.path.exists(marker):
        return
    if os.path.exists(path):
        shutil.rmtree(path)
    os.makedirs(path)
    rng = random.Random(files)
    print(f"making {files} files in {folders} folders under {path} ...", file=sys.stderr, flush=True)
    tree = [(path, 0)]
    for i in range(1, folders):
        parent, depth = rng.choice(tree)
        while depth >= MAX_DEPTH:
            parent, depth = rng.choice(tree)
        folder = os.path.join(parent, f"dir{i:05d}")
        os.mkdir(folder)
        tree.append((folder, depth + 1))
    for i in range(files):
        folder = tree[i % folders][0]
        name = os.path.join(folder, f"file{i:07d}{rng.choice(EXTENSIONS)}")
        fd = os.open(name, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
        # Sparse: the size is set, no data is written.
        os.ftruncate(fd, rng.randrange(0, 1 << 24))
        os.close(fd)
    open(marker, "w").close()


MEASURE = None


def cpu_of_children():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def run_once(argv):
    """Wall time in seconds, processor time (user and system, all threads) in seconds and peak
    resident memory in bytes of one run of argv. A run that exits 1 still counts: du and
    pellamy-report both say so when a folder could not be read."""
    before = cpu_of_children()
    done = subprocess.run([MEASURE] + argv, stdout=subprocess.PIPE, text=True)
    cpu = cpu_of_children() - before
    if done.returncode not in (0, 1):
        raise SystemExit(f"{argv[0]} failed with exit status {done.returncode}")
    seconds, kib = done.stdout.split()
    return float(seconds), cpu, int(kib) * 1024


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/release", help="the CMake build folder")
    parser.add_argument("--root", default="/tmp/pellamy-bench", help="where the test tree is made")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--files", type=int, default=1000000)
    parser.add_argument("--folders", type=int, default=10000)
    parser.add_argument("--trees", default="generated,/usr", help="'generated' and other folders")
    parser.add_argument("--make-only", action="store_true", help="make the generated tree and stop")
    args = parser.parse_args()

    generated = os.path.join(args.root, f"tree-{args.files}")
    make_tree(generated, args.files, args.folders)
    if args.make_only:
        return

    global MEASURE
    MEASURE = os.path.join(args.build, "bench", "measure")
    report = os.path.join(args.build, "cli", "pellamy-report")
    floor = os.path.join(args.build, "bench", "tree_floor")
    gdu = shutil.which("gdu")
    if gdu is None:
        print("gdu is not installed: its runs are skipped", file=sys.stderr)

    # On a shared machine the wall times carry the others' load; the processor times (which a
    # busy machine does not stretch) show what each tool costs.
    print(f"{'tree':<32} {'tool':<8} {'median s':>9} {'x du':>6} {'x floor':>8} {'cpu s':>7} "
          f"{'cpu x du':>8} {'peak MiB':>9}")
    for tree in args.trees.split(","):
        folder = generated if tree == "generated" else tree
        commands = {
            "floor": [floor, folder],
            "summary": [report, "--recursive", folder],
            "du": ["du", "-s", folder],
            "find": ["find", folder, "-printf", "%s %f\\n"],
        }
        if gdu is not None:
            commands["gdu"] = [gdu, "-n", "-p", folder]
        times = {name: [] for name in commands}
        cpus = {name: [] for name in commands}
        peaks = {name: 0 for name in commands}
        for argv in commands.values():
            run_once(argv)  # warm the cache
        for _ in range(args.runs):
            for name, argv in commands.items():
                elapsed, cpu, peak = run_once(argv)
                times[name].append(elapsed)
                cpus[name].append(cpu)
                peaks[name] = max(peaks[name], peak)
        du = statistics.median(times["du"])
        du_cpu = statistics.median(cpus["du"])
        base = statistics.median(times["floor"])
        for name in commands:
            median = statistics.median(times[name])
            cpu = statistics.median(cpus[name])
            print(f"{folder:<32} {name:<8} {median:>9.3f} {median / du:>6.2f} {median / base:>8.2f} "
                  f"{cpu:>7.3f} {cpu / du_cpu:>8.2f} {peaks[name] / 2**20:>9.1f}", flush=True)


if __name__ == "__main__":
    main()
