#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a report of pellamy-report back with Python's own parsers and prints what they found as
JSON. Texts are given as hex of their UTF-8 bytes, so that names holding bytes that are not valid
UTF-8 come through unchanged. Exits with status 1 when the report does not parse."""

import csv
import io
import json
import sys
import xml.etree.ElementTree as ElementTree
from html.parser import HTMLParser


def hexed(text):
    return text.encode("utf-8", "surrogateescape").hex()


def read_csv(data):
    text = data.decode("utf-8", "surrogateescape")
    return {"rows": [[hexed(field) for field in row] for row in csv.reader(io.StringIO(text, newline=""))]}


def read_xml(data):
    root = ElementTree.fromstring(data)
    elements = []
    for element in root.iter():
        text = element.text if len(element) == 0 else ""
        elements.append({"tag": element.tag, "depth": depth_of(root, element), "text": hexed(text or "")})
    return {"elements": elements}


def depth_of(root, wanted):
    def walk(element, depth):
        if element is wanted:
            return depth
        for child in element:
            found = walk(child, depth + 1)
            if found is not None:
                return found
        return None

    return walk(root, 0)


class TableReader(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags = []
        self.title = None
        self.rows = []
        self.cell = None

    def handle_starttag(self, tag, attrs):
        self.tags.append(tag)
        if tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th"):
            self.cell = ""
        elif tag == "title":
            self.cell = ""

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self.cell is not None:
            self.rows[-1].append(hexed(self.cell))
            self.cell = None
        elif tag == "title":
            self.title = hexed(self.cell or "")
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


def read_html(data):
    reader = TableReader()
    reader.feed(data.decode("utf-8", "surrogateescape"))
    reader.close()
    return {"tags": reader.tags, "title": reader.title, "rows": reader.rows}


def main():
    kind, path = sys.argv[1], sys.argv[2]
    with open(path, "rb") as report:
        data = report.read()
    readers = {"csv": read_csv, "xml": read_xml, "html": read_html}
    try:
        result = readers[kind](data)
    except (ElementTree.ParseError, csv.Error) as error:
        print(f"{kind} does not parse: {error}", file=sys.stderr)
        return 1
    print(json.dumps(result))
    return 0


if __name__ == "__main__":
    sys.exit(main())
