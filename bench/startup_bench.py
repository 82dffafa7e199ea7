#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times the window's start-up until its lists are filled, against the scan floor and the summary.

For folders of 10,000, 100,000 and 1,000,000 files (made by scan_bench's maker), runs with a warm
cache, alternating, and prints medians:
  floor    the minimal getdents64 + statx loop on the folder
  summary  pellamy-report's type summary of the folder
  empty    pellamy on an empty folder: the window's own start-up
  window   pellamy on the folder, quitting once the window is shown with its lists
with the fill's cost (window - empty) as a multiple of the floor and of the summary.

For the largest folder it then drives the window through window_bench (the double click that lists
every file, "Select all", header sorts, each copy command) and prints each phase's median time, its
ratio to the summary's time and its peak memory above the phase's start, with the bytes each copy
command placed on the clipboard and the file list's heap per row. The window runs on the offscreen
platform, so no display is needed.

Last, the window while it reads the largest folder with a cold cache (the page cache is dropped
before each run when the script runs as root; warm otherwise, and it says so): the time from the
program's start until the window is shown, and from Esc, pressed a second into the scan, until the
scan has ended (stop_bench, under xvfb-run when it is installed). Targets: shown within 1 s, stopped
within 0.2 s.

    python3 bench/startup_bench.py --build build/release [--root /tmp/pellamy-bench] [--runs 7]
        [--sizes 10000,100000,1000000] [--window-runs 3] [--stop-runs 3]
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import scan_bench  # noqa: E402


def window_phases(window_bench, folder, env):
    """One run of window_bench: {phase: (seconds, peak KiB, clipboard bytes)}, bytes per row."""
    done = subprocess.run([window_bench, folder], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          text=True, env=env)
    if done.returncode != 0:
        raise SystemExit(f"window_bench failed on {folder}")
    phases, per_row = {}, None
    for line in done.stdout.splitlines():
        fields = line.split()
        if len(fields) >= 5 and fields[2] == "s" and fields[4] == "KiB":
            phases[fields[0]] = (float(fields[1]), int(fields[3]), int(fields[5]) if len(fields) > 6 else 0)
        elif fields and fields[0] == "rows":
            per_row = float(fields[3])
    return phases, per_row


def measured_seconds(measure, argv, env):
    """The wall time of one run of `argv`, through bench/measure (which keeps this interpreter's
    memory out of the command's)."""
    done = subprocess.run([measure] + argv, stdout=subprocess.PIPE, text=True, env=env)
    if done.returncode != 0:
        raise SystemExit(f"{argv[0]} failed")
    return float(done.stdout.split()[0])


def drop_caches():
    """Empties the page cache, dentries and inodes; False when this process may not."""
    try:
        os.sync()
        with open("/proc/sys/vm/drop_caches", "w") as caches:
            caches.write("3\n")
        return True
    except OSError:
        return False


def stop_run(stop_bench, folder):
    """One run of stop_bench on `folder`: (seconds until shown, seconds from Esc to the end or None)."""
    env = dict(os.environ)
    argv = [stop_bench, folder, "1000"]
    if shutil.which("xvfb-run"):
        env["QT_QPA_PLATFORM"] = "xcb"
        argv = ["xvfb-run", "-a"] + argv
    else:
        env["QT_QPA_PLATFORM"] = "offscreen"
    done = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, env=env)
    if done.returncode != 0:
        raise SystemExit(f"stop_bench failed on {folder}")
    shown, stopped = None, None
    for line in done.stdout.splitlines():
        fields = line.split()
        if fields[0] == "shown":
            shown = float(fields[1])
        elif fields[0] == "esc-to-end" and fields[1] != "n/a":
            stopped = float(fields[1])
    return shown, stopped


def responsiveness(args, count):
    stop_bench = os.path.join(args.build, "bench", "stop_bench")
    folder = os.path.join(args.root, f"files-{count}")
    shown, stopped, cold = [], [], True
    for _ in range(args.stop_runs):
        cold = drop_caches() and cold
        first, esc = stop_run(stop_bench, folder)
        shown.append(first)
        if esc is not None:
            stopped.append(esc)
    cache = "cold cache" if cold else "warm cache (not root: the page cache stays)"
    print(f"\nthe window on {count} files, {cache}, medians of {args.stop_runs}")
    print(f"  shown after start   {statistics.median(shown):7.3f} s   (target 1 s)")
    if stopped:
        print(f"  Esc to end of scan  {statistics.median(stopped):7.3f} s   (target 0.2 s)")
    else:
        print("  Esc to end of scan      n/a   (every scan ended within the second before Esc)")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/release")
    parser.add_argument("--root", default="/tmp/pellamy-bench")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--sizes", default="10000,100000,1000000")
    parser.add_argument("--window-runs", type=int, default=3, help="runs of the window's phases (0: none)")
    parser.add_argument("--stop-runs", type=int, default=3, help="runs of the shown and stopped times (0: none)")
    args = parser.parse_args()

    measure = os.path.join(args.build, "bench", "measure")
    floor = os.path.join(args.build, "bench", "scan_floor")
    report = os.path.join(args.build, "cli", "pellamy-report")
    window = os.path.join(args.build, "app", "qt", "pellamy")
    window_bench = os.path.join(args.build, "bench", "window_bench")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", PELLAMY_QUIT_AFTER_START="1")
    empty = os.path.join(args.root, "empty")
    os.makedirs(empty, exist_ok=True)

    def seconds(argv):
        return measured_seconds(measure, argv, env)

    sizes = [int(s) for s in args.sizes.split(",")]
    print(f"{'files':>8} {'floor s':>8} {'summary s':>9} {'empty s':>8} {'window s':>9} {'fill s':>7} "
          f"{'fill/floor':>10} {'fill/summary':>12}")
    summaries = {}
    for count in sizes:
        folder = os.path.join(args.root, f"files-{count}")
        scan_bench.make_folder(folder, count)
        runs = {"floor": [floor, folder], "summary": [report, folder], "empty": [window, empty],
                "window": [window, folder]}
        times = {name: [] for name in runs}
        for argv in runs.values():
            seconds(argv)  # warm the cache
        for _ in range(args.runs):
            for name, argv in runs.items():
                times[name].append(seconds(argv))
        med = {name: statistics.median(values) for name, values in times.items()}
        summaries[count] = med["summary"]
        fill = med["window"] - med["empty"]
        print(f"{count:>8} {med['floor']:>8.3f} {med['summary']:>9.3f} {med['empty']:>8.3f} {med['window']:>9.3f} "
              f"{fill:>7.3f} {fill / med['floor']:>10.2f} {fill / med['summary']:>12.2f}")

    if args.stop_runs > 0:
        responsiveness(args, max(sizes))
    if args.window_runs <= 0:
        return
    count = max(sizes)
    folder = os.path.join(args.root, f"files-{count}")
    # The summary is timed between the window's runs, so both see the machine in the same state.
    runs, summary_times, per_rows = [], [], []
    for _ in range(args.window_runs):
        summary_times.append(seconds([report, folder]))
        phases, per_row = window_phases(window_bench, folder, env)
        runs.append(phases)
        per_rows.append(per_row)
    summary = statistics.median(summary_times)
    print(f"\nthe window on {count} files (medians of {args.window_runs}; summary {summary:.3f} s)")
    print(f"{'phase':<12} {'s':>8} {'/summary':>9} {'peak MiB':>9} {'clip MiB':>9} {'peak/clip':>9}")
    for name in runs[0]:
        secs = statistics.median(r[name][0] for r in runs)
        peak = statistics.median(r[name][1] for r in runs) / 1024
        clip = statistics.median(r[name][2] for r in runs) / (1024 * 1024)
        ratio = f"{peak / clip:>9.2f}" if clip else f"{'':>9}"
        clip_text = f"{clip:>9.1f}" if clip else f"{'':>9}"
        print(f"{name:<12} {secs:>8.3f} {secs / summary:>9.2f} {peak:>9.1f} {clip_text} {ratio}")
    print(f"file list heap: {statistics.median(per_rows):.1f} bytes per row above the empty window")


if __name__ == "__main__":
    main()
