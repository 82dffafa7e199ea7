#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times the window's start-up until its lists are filled, against the scan floor.

For folders of 10,000 and 100,000 files (made by scan_bench's maker), runs with a warm cache:
  floor    the minimal getdents64 + statx loop on the folder
  empty    pellamy on an empty folder: the window's own start-up
  window   pellamy on the folder, quitting once the window is shown with its lists
and prints the medians and the fill's cost (window - empty) as a multiple of the floor. The
window runs on the offscreen platform, so no display is needed.

    python3 bench/startup_bench.py --build build/release [--root /tmp/pellamy-bench] [--runs 7]
"""

import argparse
import os
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import scan_bench  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/release")
    parser.add_argument("--root", default="/tmp/pellamy-bench")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--sizes", default="10000,100000")
    args = parser.parse_args()

    measure = os.path.join(args.build, "bench", "measure")
    floor = os.path.join(args.build, "bench", "scan_floor")
    window = os.path.join(args.build, "app", "pellamy")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", PELLAMY_QUIT_AFTER_START="1")
    empty = os.path.join(args.root, "empty")
    os.makedirs(empty, exist_ok=True)

    def seconds(argv):
        done = subprocess.run([measure] + argv, stdout=subprocess.PIPE, text=True, env=env)
        if done.returncode != 0:
            raise SystemExit(f"{argv[0]} failed")
        return float(done.stdout.split()[0])

    print(f"{'files':>8} {'floor s':>8} {'empty s':>8} {'window s':>9} {'fill s':>7} {'fill/floor':>10}")
    for count in (int(s) for s in args.sizes.split(",")):
        folder = os.path.join(args.root, f"files-{count}")
        scan_bench.make_folder(folder, count)
        runs = {"floor": [floor, folder], "empty": [window, empty], "window": [window, folder]}
        times = {name: [] for name in runs}
        for argv in runs.values():
            seconds(argv)  # warm the cache
        for _ in range(args.runs):
            for name, argv in runs.items():
                times[name].append(seconds(argv))
        med = {name: statistics.median(values) for name, values in times.items()}
        fill = med["window"] - med["empty"]
        print(f"{count:>8} {med['floor']:>8.3f} {med['empty']:>8.3f} {med['window']:>9.3f} {fill:>7.3f} "
              f"{fill / med['floor']:>10.2f}")


if __name__ == "__main__":
    main()
