#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Starts a window under Wine on a private X server, reads it from a second process
(window_reader.exe), clicks a row of its type list with xdotool and reads it again.

    window_from_outside.py --wine-run cmake/wine-run.sh --reader window_reader.exe
        --window pellamy.exe --report pellamy-report.exe [--prefix DIR]
    window_from_outside.py --wine-run cmake/wine-run.sh --reader window_reader.exe
        --window known_window.exe --known

With --window pellamy.exe it makes a folder of files of known types and sizes, opens the window on
it and checks the caption, both lists' columns, the type rows (against fixed values and against
pellamy-report.exe on the same folder), the totals line, the attribute boxes (only Archive ticked)
and the status bar; then a click on the ".log" row must list the three .log files, as
pellamy-report.exe --files .log lists them, and put "Files: 3" in the status bar. With --known it
checks the reader itself against known_window.exe, whose contents are fixed.

The script runs itself again under xvfb-run, so that one X server serves the whole test. Wine's
server and desktop process keep the display they were started with: the prefix's server is ended
before the window starts and again at the end. Exits 77 (skipped) without xvfb-run or xdotool."""

import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
INNER = "PELLAMY_WINDOW_TEST_DISPLAY"
SCREEN = "1280x1024x24"

# The controls by their identifiers (app/win32/ControlIds.h).
ISF, RO_FILE, HID_FILE, SYS_FILE, ARC_FILE, ATTR_CHK = 101, 102, 103, 104, 105, 106
TOTALS_LINE, TYPE_LIST, FILE_LIST, STATUS_BAR = 109, 110, 111, 130
TYPE_COLUMNS = ["Type", "Description", "Number", "Size"]
FILE_COLUMNS = ["Type", "Name", "Created", "Modified", "Attribs", "Size"]

# The folder's files, by name, with their sizes; and the type rows they make (extension, number and
# size text), in the order the window first shows them.
FILES = {"a.txt": 10, "b.txt": 2000, "c.log": 5, "d.log": 0, "e.log": 3000, "README": 7}
TYPE_ROWS = [["", "1", "0.01 KB"], [".log", "3", "2.93 KB"], [".txt", "2", "1.96 KB"]]


def windows_path(path):
    """A Linux path as Wine's programs name it: drive Z: is the root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def build_tree(path):
    """The build tree a built file lies in: the folder above it that holds CMakeCache.txt."""
    folder = os.path.dirname(os.path.abspath(path))
    while folder != "/" and not os.path.isfile(os.path.join(folder, "CMakeCache.txt")):
        folder = os.path.dirname(folder)
    return folder if folder != "/" else tempfile.gettempdir()


class Window:
    """One reading of the window: the top-level window and its controls by identifier."""

    def __init__(self, lines):
        self.top = lines[0]["window"]
        self.controls = lines[1:]

    def control(self, control_id, class_name=None):
        for control in self.controls:
            if control["id"] == control_id and (class_name is None or control["class"] == class_name):
                return control
        return None

    def list_view(self, control_id):
        return self.control(control_id, "SysListView32") or {"columns": [], "rows": [], "count": -1}

    def status_parts(self):
        return (self.control(STATUS_BAR, "msctls_statusbar32") or {}).get("parts", [])


class WineDisplay:
    """Programs under Wine in one prefix, drawing on this process's X server."""

    def __init__(self, wine_run, prefix):
        self.wine_run = wine_run
        self.env = dict(os.environ, PELLAMY_WINEPREFIX=prefix)
        wine64 = os.environ.get("PELLAMY_WINE64") or shutil.which("wine64") or "/usr/lib/wine/wine64"
        self.wineserver = os.path.join(os.path.dirname(wine64), "wineserver")
        self.prefix = prefix

    def end_server(self):
        subprocess.run([self.wineserver, "-k"], env=dict(self.env, WINEPREFIX=self.prefix),
                       stderr=subprocess.DEVNULL, check=False)

    def prepare(self):
        """Ends a server left on another display, and draws at 96 dpi."""
        self.end_server()
        subprocess.run([self.wine_run, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                        "/t", "REG_DWORD", "/d", "96", "/f"], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)

    def start(self, *argv):
        return subprocess.Popen([self.wine_run, *argv], env=self.env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def output(self, *argv):
        done = subprocess.run([self.wine_run, *argv], env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True, encoding="utf-8", timeout=120)
        return done.returncode, done.stdout, done.stderr


class WindowTest:
    def __init__(self, args, display):
        self.args = args
        self.display = display
        self.failures = 0

    def check(self, what, actual, expected):
        if actual == expected:
            print(f"ok    {what}")
        else:
            self.failures += 1
            print(f"FAIL  {what}\n      got      {actual!r}\n      expected {expected!r}")

    def read(self, rows=50):
        code, out, err = self.display.output(self.args.reader, "--wait", "5", "--rows", str(rows))
        if code != 0:
            return None
        return Window([json.loads(line) for line in out.splitlines() if line.strip()])

    def wait_for(self, what, condition, seconds):
        """The first reading for which `condition` holds, within `seconds`; the last one else."""
        deadline = time.monotonic() + seconds
        window = None
        while True:
            window = self.read() or window
            if window is not None and condition(window):
                return window
            if time.monotonic() >= deadline:
                print(f"FAIL  {what}: not within {seconds} s")
                self.failures += 1
                return window
            time.sleep(0.5)

    def click_row(self, window, list_id, row):
        """Clicks `row` of a list view near its left end, where its first cell is."""
        rect = window.list_view(list_id)["row_rects"][row]
        x, y = rect[0] + 12, (rect[1] + rect[3]) // 2
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y)], check=True)
        time.sleep(0.2)
        subprocess.run(["xdotool", "click", "1"], check=True)

    def report(self, folder, *options):
        code, out, err = self.display.output(self.args.report, *options, "--format", "json",
                                             windows_path(folder))
        if code != 0:
            raise SystemExit(f"pellamy-report.exe failed: {err}")
        return json.loads(out)

    def check_common(self, window, type_rows):
        """What both windows show the same way: caption, columns, boxes, type cells."""
        self.check("caption", window.top["caption"], "Pellamy")
        types, files = window.list_view(TYPE_LIST), window.list_view(FILE_LIST)
        self.check("type list columns", types["columns"], TYPE_COLUMNS)
        self.check("file list columns", files["columns"], FILE_COLUMNS)
        self.check("both lists have no rows of their own", [types.get("owner_data"), files.get("owner_data")],
                   [True, True])
        self.check("type rows: extension, number, size",
                   [[row[0], row[2], row[3]] for row in types["rows"]], type_rows)
        boxes = {box: (window.control(box, "Button") or {}).get("checked")
                 for box in (RO_FILE, HID_FILE, SYS_FILE, ARC_FILE)}
        self.check("attribute boxes: only Archive ticked", boxes,
                   {RO_FILE: 0, HID_FILE: 0, SYS_FILE: 0, ARC_FILE: 1})
        self.check("status bar has two parts", len(window.status_parts()), 2)

    def run_known(self):
        self.display.start(self.args.window)
        window = self.wait_for("known window shown", lambda w: w.list_view(TYPE_LIST)["count"] == 3, 60)
        if window is None:
            return
        self.check_common(window, [[".txt", "2", "30"], [".log", "3", "1,024"], ["(none)", "1", "7"]])
        self.check("type descriptions (copied into the list's buffer)",
                   [row[1] for row in window.list_view(TYPE_LIST)["rows"]], ["Text Document", "Log File", ""])
        self.check("totals line", window.control(TOTALS_LINE)["text"], "3 types, 6 files")
        self.check("folder list box items", window.control(121, "ListBox")["items"], ["[..]", "[sub]"])
        self.check("status parts", window.status_parts(), ["Double-click a type to list its files", ""])
        self.click_row(window, TYPE_LIST, 1)
        window = self.wait_for("file list after the click", lambda w: w.list_view(FILE_LIST)["count"] == 3, 30)
        self.check("file rows (text the window points to)", window.list_view(FILE_LIST)["rows"],
                   [[".log", f"file{n}.log", "2024-01-02 03:04", "2024-05-06 07:08", "A", "10"] for n in (1, 2, 3)])
        self.check("status part 1 after the click", window.status_parts()[1:], ["Files: 3"])

    def run_pellamy(self, root):
        folder = os.path.join(root, "known types")
        os.mkdir(folder)
        for name, size in FILES.items():
            with open(os.path.join(folder, name), "wb") as file:
                file.write(b"x" * size)
        summary = self.report(folder)
        self.display.start(self.args.window, windows_path(folder))
        window = self.wait_for("window shown with its type rows",
                               lambda w: w.list_view(TYPE_LIST)["count"] == len(TYPE_ROWS), 90)
        if window is None:
            return
        self.check("top-level window class", window.top["class"], "TForm1")
        self.check_common(window, TYPE_ROWS)
        self.check("Include System Files and Filter unticked",
                   {box: (window.control(box, "Button") or {}).get("checked") for box in (ISF, ATTR_CHK)},
                   {ISF: 0, ATTR_CHK: 0})
        self.check("type rows as pellamy-report.exe gives them", window.list_view(TYPE_LIST)["rows"],
                   [row["cells"] for row in summary["rows"]])
        self.check("totals line", (window.control(TOTALS_LINE) or {}).get("text"), summary["totalsLine"])
        self.check("file list empty before a type is chosen", window.list_view(FILE_LIST)["count"], 0)
        self.check("status part 1 before a type is chosen", window.status_parts()[1:], ["Files: 0"])

        log_row = [row[0] for row in window.list_view(TYPE_LIST)["rows"]].index(".log")
        self.click_row(window, TYPE_LIST, log_row)
        window = self.wait_for("file list after the click on .log",
                               lambda w: w.list_view(FILE_LIST)["count"] == 3, 30)
        listing = self.report(folder, "--files", ".log")
        files = window.list_view(FILE_LIST)["rows"]
        self.check("file names after the click", sorted(row[1] for row in files), ["c.log", "d.log", "e.log"])
        self.check("file rows as pellamy-report.exe --files .log gives them", sorted(files),
                   sorted(row["cells"] for row in listing["rows"]))
        self.check("clicked type row selected", window.list_view(TYPE_LIST)["selected"], [log_row])
        self.check("status part 1 after the click", window.status_parts()[1:], ["Files: 3"])

    def run(self):
        self.display.prepare()
        try:
            with tempfile.TemporaryDirectory(prefix="pellamy-window-") as root:
                if self.args.known:
                    self.run_known()
                else:
                    self.run_pellamy(root)
        finally:
            self.display.end_server()
        print(f"{self.failures} failed" if self.failures else "all checks passed")
        return 1 if self.failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--wine-run", required=True, help="cmake/wine-run.sh")
    parser.add_argument("--reader", required=True, help="window_reader.exe")
    parser.add_argument("--window", required=True, help="pellamy.exe, or known_window.exe with --known")
    parser.add_argument("--report", help="pellamy-report.exe, the lists' other source")
    parser.add_argument("--prefix", help="the Wine prefix; the build tree's wineprefix-gui unless given")
    parser.add_argument("--known", action="store_true", help="check the reader against known_window.exe")
    args = parser.parse_args()
    if not args.known and not args.report:
        parser.error("--report is needed for the program's window")

    if INNER not in os.environ:
        missing = [tool for tool in ("xvfb-run", "xdotool") if shutil.which(tool) is None]
        if missing:
            print(f"skipped: {' and '.join(missing)} not installed")
            return SKIPPED
        done = subprocess.run(["xvfb-run", "-a", "-s", f"-screen 0 {SCREEN}", sys.executable,
                               os.path.abspath(__file__), *sys.argv[1:]], env=dict(os.environ, **{INNER: "1"}))
        return done.returncode

    prefix = args.prefix or os.path.join(build_tree(args.reader), "wineprefix-gui")
    return WindowTest(args, WineDisplay(os.path.abspath(args.wine_run), prefix)).run()


if __name__ == "__main__":
    sys.exit(main())
