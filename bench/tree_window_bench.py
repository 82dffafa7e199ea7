#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The window with "Sub-folders" on the generated tree of 1,000,000 files, against pellamy-report -r.

Uses (and makes, once) tree_bench's tree of 1,000,000 sparse files in 10,000 folders. With a warm
cache, alternating, it times:
  report   pellamy-report --recursive FOLDER (the tree's type list)
  empty    pellamy on an empty folder, quitting once shown: the window's own start-up
and runs tree_window_bench, which starts the window on the tree's top folder alone, clicks
"Sub-folders", lists every file of the tree, sorts them by Name and by Size, and presses Esc half
a second into another walk. It prints each phase's median time and peak memory, the tree's type list
against its target (shown within 1.3 x report + the window's start-up), the heap per file row above
the window before the listing (target 120 bytes) and the time from Esc to the end of the walk
(target 0.2 s). The window runs on the offscreen platform.

    python3 bench/tree_window_bench.py --build build/release [--root /tmp/pellamy-bench] [--runs 3]
"""

import argparse
import os
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import startup_bench  # noqa: E402
import tree_bench  # noqa: E402


def bench_run(bench, folder, env):
    """One run of tree_window_bench: {phase: (seconds, peak KiB)}, bytes per row, Esc-to-end seconds."""
    done = subprocess.run([bench, folder, "500"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                          env=env)
    if done.returncode != 0:
        raise SystemExit(f"tree_window_bench failed on {folder}")
    phases, per_row, esc = {}, None, None
    for line in done.stdout.splitlines():
        fields = line.split()
        if len(fields) >= 5 and fields[2] == "s" and fields[4] == "KiB":
            phases[fields[0]] = (float(fields[1]), int(fields[3]))
        elif fields and fields[0] == "rows":
            per_row = (int(fields[1]), float(fields[3]))
        elif fields and fields[0] == "esc-to-end" and fields[1] != "n/a":
            if fields[3] != "lists-kept":
                raise SystemExit("Esc changed the lists")
            esc = float(fields[1])
    return phases, per_row, esc


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/release")
    parser.add_argument("--root", default="/tmp/pellamy-bench")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--files", type=int, default=1000000)
    parser.add_argument("--folders", type=int, default=10000)
    args = parser.parse_args()

    measure = os.path.join(args.build, "bench", "measure")
    report = os.path.join(args.build, "cli", "pellamy-report")
    window = os.path.join(args.build, "app", "qt", "pellamy")
    bench = os.path.join(args.build, "bench", "tree_window_bench")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", PELLAMY_QUIT_AFTER_START="1")
    tree = os.path.join(args.root, f"tree-{args.files}")
    tree_bench.make_tree(tree, args.files, args.folders)
    empty = os.path.join(args.root, "empty")
    os.makedirs(empty, exist_ok=True)

    def seconds(argv):
        return startup_bench.measured_seconds(measure, argv, env)

    seconds([report, "-r", tree])  # warm the cache
    reports, empties, runs, per_rows, escs = [], [], [], [], []
    for _ in range(args.runs):
        reports.append(seconds([report, "-r", tree]))
        empties.append(seconds([window, empty]))
        phases, per_row, esc = bench_run(bench, tree, env)
        runs.append(phases)
        per_rows.append(per_row)
        if esc is not None:
            escs.append(esc)
    report_s = statistics.median(reports)
    empty_s = statistics.median(empties)
    print(f"the window with Sub-folders on {args.files} files in {args.folders} folders, medians of {args.runs}")
    print(f"pellamy-report -r {report_s:.3f} s; the window's own start-up {empty_s:.3f} s")
    print(f"{'phase':<12} {'s':>8} {'/report':>8} {'peak MiB':>9}")
    for name in runs[0]:
        secs = statistics.median(r[name][0] for r in runs)
        peak = statistics.median(r[name][1] for r in runs) / 1024
        print(f"{name:<12} {secs:>8.3f} {secs / report_s:>8.2f} {peak:>9.1f}")
    shown = statistics.median(r["start"][0] + r["sub-folders"][0] for r in runs)
    target = 1.3 * report_s + empty_s
    print(f"lists shown (start + sub-folders) {shown:.3f} s; target 1.3 x report + start-up = {target:.3f} s: "
          f"{'meets' if shown <= target else 'misses'}")
    rows = per_rows[0][0]
    per_row = statistics.median(p[1] for p in per_rows)
    peak_row = statistics.median(r["list-all"][1] for r in runs) * 1024 / rows
    print(f"file rows: {rows}, heap {per_row:.1f} bytes per row above the window before the listing "
          f"(target 120: {'meets' if per_row <= 120 else 'misses'}); the listing's peak {peak_row:.1f} bytes per row")
    if escs:
        esc = statistics.median(escs)
        print(f"Esc to the end of the walk {esc:.3f} s (target 0.2: {'meets' if esc <= 0.2 else 'misses'})")
    else:
        print("Esc to the end of the walk: n/a (every walk ended within the second before Esc)")


if __name__ == "__main__":
    main()
