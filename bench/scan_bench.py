#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times pellamy-report's type summary against the scan floor and find, on folders of many files.

Makes (once, then reuses) folders of 100,000 and 1,000,000 empty-but-sized files with about 40
extensions, some files without one, then runs, alternating and with a warm cache:
  floor      a minimal single-threaded getdents64 + statx loop (bench/scan_floor.cpp)
  pipeline   the minimal loop in two threads: one reads names, both issue statx
             (scan_floor --pipeline 2)
  summary    pellamy-report FOLDER (the type list)
  find       find FOLDER -maxdepth 1 -printf '%s %f\\n'
and prints the median wall time of each, the ratios to the floor and to the pipelined loop, the
median processor time (all threads) and its ratio to the pipelined loop's, and the summary's peak
memory per file above its peak on an empty folder. On a busy machine the wall times of the
threaded programs lose their lead; the processor times still show the work each one does.

    python3 bench/scan_bench.py --build build/release [--root /tmp/pellamy-bench] [--runs 5]
                                [--baseline OTHER/pellamy-report]

--baseline times another build of pellamy-report in the same runs (row "baseline"), so that a
change can be weighed against the program before it on equal terms.
"""

import argparse
import os
import random
import resource
import statistics
import subprocess
import sys

EXTENSIONS = [".txt", ".log", ".jpg", ".JPG", ".png", ".pdf", ".doc", ".docx", ".xls", ".csv", ".xml",
              ".html", ".css", ".js", ".json", ".py", ".c", ".h", ".cpp", ".hpp", ".o", ".so", ".a",
              ".zip", ".gz", ".tar", ".mp3", ".mp4", ".mkv", ".wav", ".svg", ".md", ".ini", ".conf",
              ".bak", ".tmp", ".iso", ".bin", ".dat", ""]


def make_folder(path, count):
    marker = os.path.join(path, ".complete")
    if os.path.exists(marker):
        return
    os.makedirs(path, exist_ok=True)
    rng = random.Random(count)
    print(f"making {count} files in {path} ...", file=sys.stderr, flush=True)
    for i in range(count):
        name = os.path.join(path, f"file{i:07d}{rng.choice(EXTENSIONS)}")
        fd = os.open(name, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
        # Sparse: the size is set, no data is written.
        os.ftruncate(fd, rng.randrange(0, 1 << 24))
        os.close(fd)
    open(marker, "w").close()


MEASURE = None


def run_once(argv):
    """Wall time in seconds, peak resident memory in bytes and processor time (user and system,
    every thread) in seconds of one run of argv."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    done = subprocess.run([MEASURE] + argv, stdout=subprocess.PIPE, text=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if done.returncode != 0:
        raise SystemExit(f"{argv[0]} failed")
    seconds, kib = done.stdout.split()
    cpu = (after.ru_utime + after.ru_stime) - (before.ru_utime + before.ru_stime)
    return float(seconds), int(kib) * 1024, cpu


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/release", help="the CMake build folder")
    parser.add_argument("--root", default="/tmp/pellamy-bench", help="where the test folders are made")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--sizes", default="100000,1000000")
    parser.add_argument("--baseline", help="another pellamy-report to time alongside")
    args = parser.parse_args()

    global MEASURE
    MEASURE = os.path.join(args.build, "bench", "measure")
    report = os.path.join(args.build, "cli", "pellamy-report")
    floor = os.path.join(args.build, "bench", "scan_floor")
    empty = os.path.join(args.root, "empty")
    os.makedirs(empty, exist_ok=True)
    _, empty_peak, _ = run_once([report, empty])

    print(f"{'files':>9} {'tool':<8} {'median s':>9} {'x floor':>8} {'x pipe':>7} {'cpu s':>7} "
          f"{'cpu x pipe':>10} {'peak MiB':>9} {'B/file':>7}")
    for count in (int(s) for s in args.sizes.split(",")):
        folder = os.path.join(args.root, f"files-{count}")
        make_folder(folder, count)
        commands = {
            "floor": [floor, folder],
            "pipeline": [floor, "--pipeline", "2", folder],
            "summary": [report, folder],
            **({"baseline": [args.baseline, folder]} if args.baseline else {}),
            "find": ["find", folder, "-maxdepth", "1", "-printf", "%s %f\\n"],
        }
        times = {name: [] for name in commands}
        cpus = {name: [] for name in commands}
        peaks = {name: 0 for name in commands}
        for name, argv in commands.items():
            run_once(argv)  # warm the cache
        for _ in range(args.runs):
            for name, argv in commands.items():
                elapsed, peak, cpu = run_once(argv)
                times[name].append(elapsed)
                cpus[name].append(cpu)
                peaks[name] = max(peaks[name], peak)
        base = statistics.median(times["floor"])
        pipe = statistics.median(times["pipeline"])
        pipe_cpu = statistics.median(cpus["pipeline"])
        for name in commands:
            median = statistics.median(times[name])
            per_file = (peaks[name] - empty_peak) / count if name in ("summary", "baseline") else float("nan")
            cpu = statistics.median(cpus[name])
            print(f"{count:>9} {name:<8} {median:>9.3f} {median / base:>8.2f} {median / pipe:>7.2f} "
                  f"{cpu:>7.3f} {cpu / pipe_cpu:>10.2f} {peaks[name] / 2**20:>9.1f} {per_file:>7.1f}",
                  flush=True)


if __name__ == "__main__":
    main()
