#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs pellamy-report.exe under Wine and the Linux pellamy-report on the same folder, and with
--recursive on the same tree, made here, and checks that both give the same rows and totals line. What comes from each system's own data may
differ: the type descriptions, and the forms of dates and times (the times behind them must be the
same, to the second). Wine gives a Linux file's last write time as its creation time, where Linux
gives the birth time, so the Created column is left out; and Wine hands out a folder's entries
sorted by name rather than in the file system's order, so rows of one caption are compared as a
set where no sort was asked for. Exits 77 (skipped) when no Linux
pellamy-report is at hand."""

import argparse
import csv
import io
import json
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

SKIPPED = 77


def make_folder(root):
    folder = os.path.join(root, "same folder")
    os.mkdir(folder)
    files = {
        "a.txt": b"hello\n",
        "B.TXT": b"x" * 1536,
        "caf\u00e9.md": b"x" * 1048577,
        "\u65e5\u672c.txt": b"",
        "noext": b"12345",
        "x,y.csv": b"1,2\r\n",
        "it's.html": b"<p>",
        ".hidden": b"h",
        "ro.doc": b"r" * 100,
        "archive.tar.gz": b"z" * 3000,
    }
    summer = 1719839109  # 2024-07-01 13:05:09 UTC
    winter = 1705312800  # 2024-01-15 10:00:00 UTC
    for index, (name, content) in enumerate(sorted(files.items())):
        path = os.path.join(folder, name)
        with open(path, "wb") as out:
            out.write(content)
        stamp = summer if index % 2 else winter
        os.utime(path, (stamp + 3600 * index, stamp + 60 * index))
    os.chmod(os.path.join(folder, "ro.doc"), 0o444)
    os.mkdir(os.path.join(folder, "sub.txt"))
    # A sparse file larger than 4 GiB.
    with open(os.path.join(folder, "huge.img"), "wb") as out:
        out.truncate(5 * 1024 * 1024 * 1024 + 17)
    return folder


# The names of the tree's one file with several names.
LINKED = ("other.d/linked.bin", "sub/again.bin", "sub/deeper/third.bin")


def make_tree(root):
    """A tree for --recursive: nested folders, an empty one, a file with three names (counted
    once), and a link to a folder and one back to the root (neither entered). No link to a file:
    Wine describes one as its target, where Linux describes the link itself."""
    tree = os.path.join(root, "same tree")
    os.makedirs(os.path.join(tree, "sub", "deeper", "deepest"))
    os.makedirs(os.path.join(tree, "empty"))
    os.makedirs(os.path.join(tree, "other.d"))
    files = {
        "top.txt": b"top\n",
        "README": b"r" * 10,
        "sub/a.TXT": b"a" * 700,
        "sub/photo.jpg": b"j" * 4096,
        "sub/deeper/b.txt": b"",
        "sub/deeper/deepest/c.md": b"c" * 33,
        "sub/deeper/deepest/\u00e9t\u00e9.md": b"e" * 12,
        "other.d/linked.bin": b"l" * 5000,
        "other.d/.hidden.txt": b"h",
    }
    stamp = 1719839109  # 2024-07-01 13:05:09 UTC
    for index, (name, content) in enumerate(sorted(files.items())):
        path = os.path.join(tree, *name.split("/"))
        with open(path, "wb") as out:
            out.write(content)
        os.utime(path, (stamp + 3600 * index, stamp + 60 * index))
    # A file with several names is listed at its first name in each system's order of names.
    os.link(os.path.join(tree, "other.d", "linked.bin"), os.path.join(tree, "sub", "again.bin"))
    os.link(os.path.join(tree, "other.d", "linked.bin"), os.path.join(tree, "sub", "deeper", "third.bin"))
    os.symlink(os.path.join(tree, "sub"), os.path.join(tree, "other.d", "to-sub"))
    os.symlink(tree, os.path.join(tree, "sub", "deeper", "loop"))
    return tree


def run(command, env):
    result = subprocess.run(command, env=env, capture_output=True, timeout=300)
    if result.returncode != 0:
        raise AssertionError(f"{command} exited {result.returncode}: {result.stderr.decode(errors='replace')}")
    return result.stdout


def time_value(text):
    """The date and time a text shows, whatever its form: the numbers in order, the year in two
    digits (one side may write four), and a 12-hour clock turned into 24 hours."""
    numbers = [int(n) for n in re.findall(r"\d+", text)]
    if len(numbers) < 3:
        return (text,)
    date = numbers[:3]
    # The year is the field above 31 where there is one (four digits), else the last.
    year_at = next((i for i, n in enumerate(date) if n > 31), 2)
    day_month = tuple(n for i, n in enumerate(date) if i != year_at)
    clock = (numbers[3:6] + [0, 0, 0])[:3]
    if re.search(r"\bPM\b", text) and clock[0] != 12:
        clock[0] += 12
    if re.search(r"\bAM\b", text) and clock[0] == 12:
        clock[0] = 0
    return day_month + (date[year_at] % 100,) + tuple(clock)


def comparable_json(data, is_type_list, unordered, linked=()):
    data = dict(data)
    data.pop("folder", None)
    for row in data["rows"]:
        cells = list(row["cells"])
        if not is_type_list and cells[1] in linked:
            cells[1] = row["name"] = row["folder"] = "<linked>"
        if is_type_list:
            cells[1] = "<description>"
        else:
            cells[2] = "<created>"
            cells[3] = time_value(cells[3])
            row.pop("created")
        row["cells"] = cells
    if unordered:
        data["rows"].sort(key=lambda row: (row["cells"][0], row["cells"][1]))
    return data


def comparable_csv(text, folder_prefix, is_type_list, unordered, linked=()):
    rows = list(csv.reader(io.StringIO(text.decode("utf-8"), newline="")))
    for row in rows[1:]:
        if is_type_list:
            row[1] = "<description>"
        else:
            assert row[0].startswith(folder_prefix), (row[0], folder_prefix)
            row[0] = row[0][len(folder_prefix):]
            if row[0] in linked:
                row[0] = "<linked>"
            row[1] = "<created>"
            row[2] = time_value(row[2])
    if unordered:
        rows[1:] = sorted(rows[1:], key=lambda row: (os.path.splitext(row[0])[1], row[0]))
    return rows


def comparable_xml(text, is_type_list, unordered):
    root = ElementTree.fromstring(text)
    items = []
    for element in root:
        if element.tag == "FolderName":
            continue
        fields = {child.tag: child.text or "" for child in element} if len(element) else element.text
        if isinstance(fields, dict):
            fields.pop("Description", None)
            if "Created" in fields:
                fields["Created"] = "<created>"
                fields["Modified"] = time_value(fields["Modified"])
        items.append((element.tag, fields))
    if unordered:
        items.sort(key=lambda item: repr(item))
    return (root.tag, items)


def comparable_html(text, is_type_list, unordered):
    page = text.decode("utf-8")
    head, _, body = page.partition("</head>")
    # The page's fixed lines stay as they are; the title names each system's form of the folder.
    head = re.sub(r"<title>(.*): .*</title>", r"<title>\1</title>", head)
    rows = [re.findall(r"<td>(.*?)</td>", row, re.S) for row in re.findall(r"<tr>(.*?)</tr>", body, re.S)]
    rows = [row for row in rows if row]
    for row in rows:
        if is_type_list:
            row[1] = "<description>"
        else:
            row[2] = "<created>"
            row[3] = time_value(row[3])
    if unordered:
        rows.sort()
    return (head, re.sub(r"<tr>.*</tr>", "", body, flags=re.S), rows)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--windows-report", required=True)
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--linux-report", default="")
    args = parser.parse_args()
    linux = args.linux_report
    if not linux or not os.access(linux, os.X_OK):
        print(f"no Linux pellamy-report at '{linux}' (set PELLAMY_LINUX_REPORT): skipped")
        return SKIPPED

    # The locale that the Wine runs use (see wine-run.sh), for both.
    env = dict(os.environ, TZ="UTC", LC_ALL="en_US.UTF-8", LANG="en_US.UTF-8")
    with tempfile.TemporaryDirectory(prefix="pellamy-compare-") as root:
        folder = make_folder(root)
        windows_folder = "Z:" + folder.replace("/", "\\")
        lists = [
            ([], True),
            (["--include-system"], True),
            (["--filter", "RH"], True),
            (["--all-files", "--sort", "Name"], False),
            (["--files", ".txt", "--sort", "Size:desc"], False),
            (["--all-files", "--filter", "R"], False),
            (["--all-files"], False),
        ]
        failures = 0
        for options, is_type_list in lists:
            for form in ("json", "csv", "xml", "html"):
                command = options + ["--format", form]
                unordered = not is_type_list and "--sort" not in options
                on_linux = run([linux] + command + [folder], env)
                on_windows = run([args.wine_run, args.windows_report] + command + [windows_folder], env)
                if form == "json":
                    left = comparable_json(json.loads(on_linux), is_type_list, unordered)
                    right = comparable_json(json.loads(on_windows), is_type_list, unordered)
                elif form == "xml":
                    left = comparable_xml(on_linux, is_type_list, unordered)
                    right = comparable_xml(on_windows, is_type_list, unordered)
                elif form == "html":
                    left = comparable_html(on_linux, is_type_list, unordered)
                    right = comparable_html(on_windows, is_type_list, unordered)
                else:
                    left = comparable_csv(on_linux, folder + "/", is_type_list, unordered)
                    right = comparable_csv(on_windows, "Z:" + folder + "/", is_type_list, unordered)
                if left != right:
                    failures += 1
                    print(f"DIFFERENT for {' '.join(command)}:\n  Linux:   {left}\n  Windows: {right}")
                else:
                    print(f"same for {' '.join(command)}")
        # A whole tree: the same rows, and each file once, whatever each system's order of names.
        tree = make_tree(root)
        windows_tree = "Z:" + tree.replace("/", "\\")
        trees = [
            (["-r"], True),
            (["-r", "-x", "--include-system"], True),
            (["--recursive", "--all-files"], False),
            (["-r", "--files", ".txt", "--sort", "Name"], False),
            (["-r", "--all-files", "--filter", "H"], False),
        ]
        for options, is_type_list in trees:
            for form in ("json", "csv"):
                command = options + ["--format", form]
                unordered = not is_type_list and "--sort" not in options
                on_linux = run([linux] + command + [tree], env)
                on_windows = run([args.wine_run, args.windows_report] + command + [windows_tree], env)
                if form == "json":
                    left = comparable_json(json.loads(on_linux), is_type_list, unordered, LINKED)
                    right = comparable_json(json.loads(on_windows), is_type_list, unordered, LINKED)
                else:
                    left = comparable_csv(on_linux, tree + "/", is_type_list, unordered, LINKED)
                    right = comparable_csv(on_windows, "Z:" + tree + "/", is_type_list, unordered, LINKED)
                if left != right:
                    failures += 1
                    print(f"DIFFERENT for {' '.join(command)}:\n  Linux:   {left}\n  Windows: {right}")
                else:
                    print(f"same for {' '.join(command)}")
        on_linux = run([linux, "-r", tree], env).decode("utf-8").split("\n")
        on_windows = run([args.wine_run, args.windows_report, "-r", windows_tree], env).decode("utf-8").split("\n")
        if on_linux[-2:] != on_windows[-2:] or len(on_linux) != len(on_windows):
            failures += 1
            print(f"DIFFERENT totals line of the tree:\n  Linux:   {on_linux[-2:]}\n  Windows: {on_windows[-2:]}")

        # The type list's table, whose last line is the totals line, and its number of rows.
        on_linux = run([linux, folder], env).decode("utf-8").split("\n")
        on_windows = run([args.wine_run, args.windows_report, windows_folder], env).decode("utf-8").split("\n")
        if on_linux[-2:] != on_windows[-2:] or len(on_linux) != len(on_windows):
            failures += 1
            print(f"DIFFERENT totals line:\n  Linux:   {on_linux[-2:]}\n  Windows: {on_windows[-2:]}")
        return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
