#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times the Windows window on a large folder under Wine, against pellamy-report.exe's summary.

Makes (once, then reuses, with scan_bench's maker) a folder of N files, default 1,000,000, or takes
the one given with --folder, and an empty folder. On one private X server (xvfb-run) and a private
Wine prefix, with a warm cache, alternating, it runs:
  summary   pellamy-report.exe FOLDER, timed from outside; less the same run on the empty folder,
            which is Wine's and the program's start, it is the summary's own time
  window    window_bench.exe (bench/win32/window_bench.cpp): the program's window in that process,
            timed from its construction until its lists are shown; on the empty folder, the
            window's own start-up; then the double click that lists every file and two header
            clicks on each of three columns of the file list
and prints each median with the project's targets: the lists shown within 1.3 x the summary plus
the window's own start-up, and a header-click sort of the file list under 1.5 s.

window_bench.exe is built with the benchmarks on:
    cmake --preset windows -DPELLAMY_BUILD_BENCH=ON
    cmake --build --preset windows --parallel 2 --target window_bench pellamy-report
    python3 bench/win32_window_bench.py --build build/windows [--files 1000000 | --folder DIR]
        [--root /tmp/pellamy-bench] [--runs 3]
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import scan_bench  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "..", "cmake", "wine-run.sh")
INNER = "PELLAMY_WINDOW_BENCH_DISPLAY"
SORT_TARGET = 1.5
START_FACTOR = 1.3


def windows_path(path):
    """A Linux path as Wine's programs name it: drive Z: is the root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Wine:
    """Programs under Wine in one prefix, on this process's X server. Runs that are timed start
    wine64 directly, with the environment wine-run.sh gives, so that only the program is timed."""

    def __init__(self, prefix):
        self.wine64 = os.environ.get("PELLAMY_WINE64") or shutil.which("wine64") or "/usr/lib/wine/wine64"
        self.wineserver = os.path.join(os.path.dirname(self.wine64), "wineserver")
        locale = os.environ.get("PELLAMY_WINE_LOCALE", "en_US.UTF-8")
        self.env = dict(os.environ, PELLAMY_WINEPREFIX=prefix, WINEPREFIX=prefix, WINEDEBUG="-all",
                        LC_ALL=locale, LANG=locale, WINEDLLOVERRIDES="mscoree,mshtml=")

    def end_server(self):
        subprocess.run([self.wineserver, "-k"], env=self.env, stderr=subprocess.DEVNULL, check=False)

    def prepare(self):
        """Ends a server left on another display, draws at 96 dpi, and leaves the server and
        Wine's services running for the timed runs."""
        self.end_server()
        subprocess.run([WINE_RUN, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                        "REG_DWORD", "/d", "96", "/f"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False)
        subprocess.Popen([self.wineserver, "-p"], env=self.env, stderr=subprocess.DEVNULL).wait()

    def timed(self, *argv):
        """Wall time of one run, and its standard output."""
        start = time.monotonic()
        done = subprocess.run([self.wine64, *argv], env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True, encoding="utf-8")
        seconds = time.monotonic() - start
        if done.returncode != 0:
            raise SystemExit(f"{os.path.basename(argv[0])} failed ({done.returncode}): {done.stderr.strip()}")
        return seconds, done.stdout


def median_phases(runs):
    """{phase: median seconds} over window_bench's outputs."""
    names = runs[0]["phases"].keys()
    return {name: statistics.median(run["phases"][name]["seconds"] for run in runs) for name in names}


def bench(args):
    report = os.path.join(args.build, "cli", "pellamy-report.exe")
    window = os.path.join(args.build, "bench", "win32", "window_bench.exe")
    for program in (report, window):
        if not os.path.isfile(program):
            raise SystemExit(f"{program} is missing: build it as the top of this script says")
    folder = args.folder
    if folder is None:
        folder = os.path.join(args.root, f"files-{args.files}")
        scan_bench.make_folder(folder, args.files)
    empty = os.path.join(args.root, "empty")
    os.makedirs(empty, exist_ok=True)

    wine = Wine(args.prefix or os.path.join(args.build, "wineprefix-gui"))
    wine.prepare()
    try:
        wine.timed(report, windows_path(folder))  # warms the cache
        summary, summary_empty, starts_empty, windows = [], [], [], []
        for run in range(args.runs):
            print(f"run {run + 1} of {args.runs} ...", file=sys.stderr, flush=True)
            summary.append(wine.timed(report, windows_path(folder))[0])
            summary_empty.append(wine.timed(report, windows_path(empty))[0])
            windows.append(json.loads(wine.timed(window, windows_path(folder))[1]))
            starts_empty.append(json.loads(wine.timed(window, windows_path(empty))[1])["phases"]["start"]["seconds"])
    finally:
        wine.end_server()

    phases = median_phases(windows)
    report_total = statistics.median(summary)
    report_empty = statistics.median(summary_empty)
    own_summary = max(report_total - report_empty, 0.0)
    own_start = statistics.median(starts_empty)
    start = phases["start"]
    start_target = START_FACTOR * own_summary + own_start
    peak = max(run["peak_working_set_kib"] for run in windows)

    def row(name, seconds, note="", target=None):
        verdict = "" if target is None else ("meets" if seconds <= target else "MISSES")
        target_text = "" if target is None else f"<= {target:.3f}"
        print(f"{name:<34} {seconds:>9.3f} {target_text:>10} {verdict:>7}  {note}")

    print(f"folder {folder}: {windows[0]['file_rows']} files, {windows[0]['type_rows']} types; "
          f"median of {args.runs} runs; peak working set {peak / 1024:.0f} MiB")
    print(f"{'':<34} {'seconds':>9} {'target':>10} {'':>7}")
    row("report, whole run", report_total)
    row("report on the empty folder", report_empty, "Wine's and the program's start")
    row("summary (the difference)", own_summary)
    row("window start, empty folder", own_start, "the window's own start-up")
    row("window start, lists shown", start, f"{start / own_summary if own_summary else float('nan'):.2f} x summary",
        start_target)
    row("list every file", phases["list_all"])
    for name in phases:
        if name.startswith("sort_"):
            column, click = name[5:-1], name[-1]
            row(f"sort column {column}, {'first' if click == 'a' else 'second'} click", phases[name], "",
                SORT_TARGET)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/windows", help="the windows preset's build folder")
    parser.add_argument("--folder", help="a folder to use as it is, instead of one made here")
    parser.add_argument("--files", type=int, default=1_000_000, help="the files of the folder made here")
    parser.add_argument("--root", default="/tmp/pellamy-bench", help="where the folders are made")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--prefix", help="the Wine prefix; the build folder's wineprefix-gui unless given")
    args = parser.parse_args()
    args.build = os.path.abspath(args.build)

    if INNER in os.environ:
        bench(args)
        return 0
    if shutil.which("xvfb-run") is None:
        raise SystemExit("xvfb-run is needed (Debian package xvfb)")
    done = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", sys.executable,
                           os.path.abspath(__file__), *sys.argv[1:]], env=dict(os.environ, **{INNER: "1"}))
    return done.returncode


if __name__ == "__main__":
    sys.exit(main())
