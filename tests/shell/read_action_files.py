#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads context-menu action files the way the file managers do.

Each file given is loaded with GLib's key-file parser (which Nemo and Caja use); the output is one
JSON object mapping each path to its groups and keys, and under "exec" the words of every Exec key
as the desktop-entry rules split them: quoting undone, "%%" turned into "%", and a field code such
as %f kept as it stands. A file that does not load, or an Exec line that breaks the rules, ends the
program with status 1 and the reason.
"""
import json
import sys

import gi

gi.require_version("GLib", "2.0")
from gi.repository import GLib  # noqa: E402

RESERVED = set(" \t\n\"'\\><~|&;$*?#()`")
ESCAPED = set('"`$\\')


def exec_words(value):
    words, word, quoted_word, at = [], None, False, 0
    while at < len(value):
        c = value[at]
        if c == " ":
            if word is not None:
                words.append((word, quoted_word))
            word, quoted_word = None, False
            at += 1
            continue
        word = word or ""
        if c == '"':
            quoted_word = True
            at += 1
            while True:
                if at == len(value):
                    raise ValueError("quote not closed: " + value)
                c = value[at]
                if c == '"':
                    at += 1
                    break
                if c == "\\":
                    if at + 1 == len(value) or value[at + 1] not in ESCAPED:
                        raise ValueError("bad escape: " + value)
                    at += 1
                word += value[at]
                at += 1
            continue
        if c in RESERVED:
            raise ValueError("reserved character outside quotes: " + value)
        word += c
        at += 1
    if word is not None:
        words.append((word, quoted_word))
    result = []
    for text, quoted in words:
        if not quoted and len(text) == 2 and text[0] == "%" and text[1] != "%":
            result.append(text)
            continue
        out, i = "", 0
        while i < len(text):
            if text[i] == "%":
                if text[i + 1 : i + 2] != "%":
                    raise ValueError("field code inside a word: " + text)
                i += 1
            out += text[i]
            i += 1
        result.append(out)
    return result


def main():
    report = {}
    for path in sys.argv[1:]:
        keyfile = GLib.KeyFile()
        try:
            keyfile.load_from_file(path, GLib.KeyFileFlags.NONE)
            groups = {}
            execs = {}
            for group in keyfile.get_groups()[0]:
                keys = {key: keyfile.get_string(group, key) for key in keyfile.get_keys(group)[0]}
                groups[group] = keys
                if "Exec" in keys:
                    execs[group] = exec_words(keys["Exec"])
        except (GLib.Error, ValueError) as error:
            print(f"{path}: {error}", file=sys.stderr)
            return 1
        report[path] = {"groups": groups, "exec": execs}
    json.dump(report, sys.stdout, ensure_ascii=False)
    return 0


if __name__ == "__main__":
    sys.exit(main())
