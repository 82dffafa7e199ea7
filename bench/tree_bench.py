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

Before those, the cost of depth: a chain of 3,000 folders (--deep), each with a file and two empty
folders beside the next, far deeper than one path can name. pellamy-report --recursive against
find on it, the ratio of their median times (the target: within 20 x find's), and a check that
every file was counted. The floor walker opens folders by their full path and cannot go that deep.

With --windows EXE (a cross-built pellamy-report.exe), only the generated tree instead: the
summary of EXE under Wine (through cmake/wine-run.sh, Wine's server kept running between runs)
against the Linux summary, with the ratio of their median wall times, after a check that both count
the same files.

    python3 bench/tree_bench.py --build build/release [--root /tmp/pellamy-bench] [--runs 5]
    python3 bench/tree_bench.py --build build/release --trees "" --deep 3000   # the deep chain only
    python3 bench/tree_bench.py --build build/release --windows build/windows/cli/pellamy-report.exe
"""

import argparse
import json
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


def make_deep_tree(path, levels):
    """A chain of `levels` folders "d0000000", "d0000001", ...; in the top and in each but the last a
    file "nLEVEL.txt" of LEVEL % 7 bytes and two empty folders "leafA" and "leafB", made before and
    after the next folder of the chain. Everything is made relative to the parent's descriptor, since
    no single path reaches the bottom. The marker of a finished chain lies beside it, so the chain
    holds exactly `levels` files."""
    marker = path + ".complete"
    if os.path.exists(marker):
        return
    if os.path.exists(path):
        # shutil.rmtree recurses once per level and stops at Python's recursion limit.
        subprocess.run(["rm", "-rf", "--", path], check=True)
    os.makedirs(path)
    print(f"making a chain of {levels} folders under {path} ...", file=sys.stderr, flush=True)
    folder = os.open(path, os.O_RDONLY | os.O_DIRECTORY)
    try:
        for level in range(levels):
            fd = os.open(f"n{level}.txt", os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644, dir_fd=folder)
            os.write(fd, b"x" * (level % 7))
            os.close(fd)
            name = f"d{level:07d}"
            os.mkdir("leafA", dir_fd=folder)
            os.mkdir(name, dir_fd=folder)
            os.mkdir("leafB", dir_fd=folder)
            below = os.open(name, os.O_RDONLY | os.O_DIRECTORY, dir_fd=folder)
            os.close(folder)
            folder = below
    finally:
        os.close(folder)
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


def deep_case(report, folder, levels, runs):
    """Times pellamy-report --recursive against find on the deep chain, prints both and the ratio,
    and checks the file count."""
    done = subprocess.run([report, "--recursive", "--format", "json", folder], stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True)
    if done.returncode != 0:
        raise SystemExit(f"pellamy-report failed on the deep chain: {done.stderr[:300]}")
    counted = json.loads(done.stdout)["totalFiles"]
    commands = {
        "summary": [report, "--recursive", folder],
        "find": ["find", folder, "-printf", "%s %f\\n"],
    }
    times = {name: [] for name in commands}
    for argv in commands.values():
        run_once(argv)  # warm the cache
    for _ in range(runs):
        for name, argv in commands.items():
            times[name].append(run_once(argv)[0])
    summary = statistics.median(times["summary"])
    find = statistics.median(times["find"])
    verdict = "ok" if summary <= 20 * find else "over the target of 20 x find"
    print(f"deep chain of {levels} folders: summary {summary:.3f} s, find {find:.3f} s, "
          f"{summary / find:.1f} x find ({verdict}); files counted {counted} of {levels}", flush=True)
    if counted != levels:
        raise SystemExit(f"the deep chain holds {levels} files, pellamy-report counted {counted}")


def windows_case(report, exe, folder, runs):
    """Times the summary of pellamy-report.exe under Wine against the Linux one on `folder`, after
    checking that both count the same files and bytes."""
    wine_run = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "cmake", "wine-run.sh")
    windows_folder = "Z:" + os.path.abspath(folder).replace("/", "\\")
    linux = [report, "--recursive", folder]
    windows = [wine_run, exe, "--recursive", windows_folder]
    totals = []
    for argv in (linux, windows):
        done = subprocess.run(argv[:-1] + ["--format", "json", argv[-1]], stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True)
        if done.returncode != 0:
            raise SystemExit(f"{argv[0]} failed: {done.stderr[:300]}")
        data = json.loads(done.stdout)
        totals.append((data["totalFiles"], data["totalSize"]))
    if totals[0] != totals[1]:
        raise SystemExit(f"Linux counts {totals[0]}, Windows under Wine {totals[1]}")
    times = {"linux": [], "wine": []}
    for _ in range(runs):
        times["linux"].append(run_once(linux)[0])
        times["wine"].append(run_once(windows)[0])
    linux_median = statistics.median(times["linux"])
    wine_median = statistics.median(times["wine"])
    print(f"{folder}: {totals[0][0]} files; summary on Linux {linux_median:.3f} s, "
          f"pellamy-report.exe under Wine {wine_median:.3f} s ({wine_median / linux_median:.1f} x)", flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/release", help="the CMake build folder")
    parser.add_argument("--root", default="/tmp/pellamy-bench", help="where the test tree is made")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--files", type=int, default=1000000)
    parser.add_argument("--folders", type=int, default=10000)
    parser.add_argument("--trees", default="generated,/usr", help="'generated' and other folders")
    parser.add_argument("--deep", type=int, default=3000, help="levels of the deep chain; 0 skips it")
    parser.add_argument("--make-only", action="store_true", help="make the generated trees and stop")
    parser.add_argument("--windows", default="", metavar="EXE",
                        help="time this pellamy-report.exe under Wine against Linux on the generated tree")
    args = parser.parse_args()

    trees = [tree for tree in args.trees.split(",") if tree]
    generated = os.path.join(args.root, f"tree-{args.files}")
    if "generated" in trees:
        make_tree(generated, args.files, args.folders)
    deep = os.path.join(args.root, f"deep-{args.deep}")
    if args.deep > 0 and not args.windows:
        make_deep_tree(deep, args.deep)
    if args.make_only:
        return

    global MEASURE
    MEASURE = os.path.join(args.build, "bench", "measure")
    report = os.path.join(args.build, "cli", "pellamy-report")
    floor = os.path.join(args.build, "bench", "tree_floor")
    gdu = shutil.which("gdu")
    if gdu is None:
        print("gdu is not installed: its runs are skipped", file=sys.stderr)

    if args.windows:
        make_tree(generated, args.files, args.folders)
        windows_case(report, args.windows, generated, args.runs)
        return
    if args.deep > 0:
        deep_case(report, deep, args.deep, args.runs)
    if not trees:
        return

    # On a shared machine the wall times carry the others' load; the processor times (which a
    # busy machine does not stretch) show what each tool costs.
    print(f"{'tree':<32} {'tool':<8} {'median s':>9} {'x du':>6} {'x floor':>8} {'cpu s':>7} "
          f"{'cpu x du':>8} {'peak MiB':>9}")
    for tree in trees:
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
