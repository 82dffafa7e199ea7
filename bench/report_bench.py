#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times pellamy-report's file listings in every format, and its sorts, against its type summary.

On folders of 100,000 and 1,000,000 files (made by scan_bench's maker, then reused), runs with a
warm cache, alternating, one round after another:
  summary       pellamy-report FOLDER (the type list)
  csv ... json  pellamy-report --all-files --format F FOLDER
  sort COLUMN   pellamy-report --all-files --format csv --sort COLUMN FOLDER, for each column
and prints each command's median wall time as a multiple of the summary's, the seconds a sort adds
to the unsorted csv listing, and the peak memory per row above the summary's peak.

    python3 bench/report_bench.py --build build/release [--root /tmp/pellamy-bench] [--runs 5]
        [--report PATH]   another pellamy-report to time (an earlier build, say)
"""

import argparse
import os
import statistics
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import scan_bench  # noqa: E402

FORMATS = ["csv", "table", "html", "xml", "json"]
COLUMNS = ["Type", "Name", "Created", "Modified", "Attribs", "Size"]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/release", help="the CMake build folder")
    parser.add_argument("--root", default="/tmp/pellamy-bench", help="where the test folders are made")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--sizes", default="100000,1000000")
    parser.add_argument("--report", help="the pellamy-report to time (default: the build's)")
    parser.add_argument("--no-sorts", action="store_true", help="time the formats only")
    args = parser.parse_args()

    scan_bench.MEASURE = os.path.join(args.build, "bench", "measure")
    report = args.report or os.path.join(args.build, "cli", "pellamy-report")

    print(f"{'files':>9} {'command':<16} {'median s':>9} {'x summary':>10} {'+s':>7} {'peak MiB':>9} {'B/row':>7}")
    for count in (int(s) for s in args.sizes.split(",")):
        folder = os.path.join(args.root, f"files-{count}")
        scan_bench.make_folder(folder, count)
        commands = {"summary": [report, folder]}
        for fmt in FORMATS:
            commands[fmt] = [report, "--all-files", "--format", fmt, folder]
        if not args.no_sorts:
            for column in COLUMNS:
                commands[f"sort {column}"] = [report, "--all-files", "--format", "csv", "--sort", column, folder]
        times = {name: [] for name in commands}
        peaks = {name: 0 for name in commands}
        for argv in commands.values():
            scan_bench.run_once(argv)  # warm the cache
        for _ in range(args.runs):
            for name, argv in commands.items():
                elapsed, peak, _ = scan_bench.run_once(argv)
                times[name].append(elapsed)
                peaks[name] = max(peaks[name], peak)
        medians = {name: statistics.median(values) for name, values in times.items()}
        base = medians["summary"]
        for name in commands:
            # A sort is measured by what it adds to the same listing without it.
            added = medians[name] - medians["csv"] if name.startswith("sort") else float("nan")
            per_row = (peaks[name] - peaks["summary"]) / count
            print(f"{count:>9} {name:<16} {medians[name]:>9.3f} {medians[name] / base:>10.2f} {added:>7.2f} "
                  f"{peaks[name] / 2**20:>9.1f} {per_row:>7.1f}", flush=True)


if __name__ == "__main__":
    main()
