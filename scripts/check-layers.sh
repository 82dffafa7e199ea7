#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the #include lines of every source folder against the layers of DESIGN.md:
#   - the core (scan/, lists/, reports/, shell/ but shell/qt/, window/) includes only C++ standard
#     library headers (reports/ also the JSON library its writer is built on) and only core
#     folders below its own layer: lists/ scan/; reports/ scan/ and lists/; shell/ scan/, lists/
#     and reports/; window/ the whole core; scan/ nothing else;
#   - platform/ and shell/qt/ include anything but the front-ends and pellamy-report (app/, cli/);
#   - the front-ends (app/qt/, app/win32/) never include cli/, and never a system's platform
#     folder (platform/posix/, platform/win32/) except in the program's entry (main.cpp); the
#     Windows front-end, itself made of the Windows API, may use platform/win32/'s helpers (wide
#     text, the clipboard's file forms) but never platform/posix/;
#   - cli/ includes anything but the window's front-ends.
# tests/ and bench/ are left out: they reach into every layer on purpose.
# Prints each breach as file:line with the rule it breaks and exits 1 if there is any.
set -euo pipefail
cd "$(dirname "$0")/.."

exec python3 - "$@" <<'PY'
import os
import re
import sys

# The C++20 standard library, and the C library as C++ provides it.
STANDARD_HEADERS = set("""
algorithm any array atomic barrier bit bitset charconv chrono codecvt compare complex concepts
condition_variable coroutine deque exception execution expected filesystem format forward_list
fstream functional future initializer_list iomanip ios iosfwd iostream istream iterator latch
limits list locale map memory memory_resource mutex new numbers numeric optional ostream queue
random ranges ratio regex scoped_allocator semaphore set shared_mutex source_location span
sstream stack stdexcept stop_token streambuf string string_view syncstream system_error thread
tuple type_traits typeindex typeinfo unordered_map unordered_set utility valarray variant
vector version
cassert cctype cerrno cfenv cfloat cinttypes climits clocale cmath csetjmp csignal cstdarg
cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype
""".split())

# The JSON writer of reports/ is built on nlohmann/json, a header-only library of standard C++.
JSON_HEADERS = {"nlohmann/json.hpp", "nlohmann/json_fwd.hpp"}

SOURCE_FOLDERS = ["scan", "lists", "reports", "shell", "window", "platform", "app", "cli"]
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")

# Where a path belongs: the longest of these prefixes that it starts with.
LAYERS = ["scan", "lists", "reports", "shell/qt", "shell", "window", "platform/posix",
          "platform/win32", "platform/qt", "platform", "app/qt", "app/win32", "app", "cli", "tests",
          "bench"]
CORE = {"scan", "lists", "reports", "shell", "window"}
FRONT_ENDS = {"app/qt", "app/win32", "app"}
SYSTEM_PLATFORMS = {"platform/posix", "platform/win32"}

# What each core folder may include of the project.
CORE_INCLUDES = {
    "scan": {"scan"},
    "lists": {"lists", "scan"},
    "reports": {"reports", "scan", "lists"},
    "shell": {"shell", "scan", "lists", "reports"},
    "window": CORE,
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def layer_of(path):
    for layer in LAYERS:
        if path == layer or path.startswith(layer + "/"):
            return layer
    return None


def is_entry(path):
    return os.path.basename(path) == "main.cpp"


def check(path, included, quoted):
    """The rule that `path` breaks by including `included`, or None."""
    layer = layer_of(path)
    target = layer_of(included) if quoted else None
    if layer in CORE:
        if quoted:
            if target not in CORE_INCLUDES[layer]:
                allowed = ", ".join(sorted(f + "/" for f in CORE_INCLUDES[layer]))
                return f"{layer}/ includes only {allowed} of the project"
            return None
        if layer == "reports" and included in JSON_HEADERS:
            return None
        if included.startswith("Q") or included.startswith("qt"):
            return "the core includes no Qt header"
        if included not in STANDARD_HEADERS:
            return "the core includes only C++ standard library headers"
        return None
    if not quoted:
        return None
    if layer in ("platform/posix", "platform/win32", "platform/qt", "platform", "shell/qt"):
        if target in FRONT_ENDS or target == "cli":
            return f"{layer}/ never includes app/ or cli/"
    elif layer in FRONT_ENDS:
        if layer == "app/win32" and target == "platform/win32":
            return None
        if target in SYSTEM_PLATFORMS and not is_entry(path):
            return "a front-end never includes platform/posix/ or platform/win32/ (only its main.cpp may)"
        if target == "cli":
            return "a front-end never includes cli/"
    elif layer == "cli":
        if target in FRONT_ENDS:
            return "cli/ never includes app/"
    return None


def sources():
    for folder in SOURCE_FOLDERS:
        for root, _, files in os.walk(folder):
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.join(root, name)


breaches = []
for path in sorted(sources()):
    with open(path, encoding="utf-8", errors="replace") as source:
        for number, line in enumerate(source, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            quoted = match.group(1) == '"'
            included = match.group(2).strip()
            rule = check(path, included, quoted)
            if rule:
                shown = f'"{included}"' if quoted else f"<{included}>"
                breaches.append(f"{path}:{number}: {shown}: {rule}")

if breaches:
    print(f"{len(breaches)} include(s) break the layers of DESIGN.md:", file=sys.stderr)
    for breach in breaches:
        print(breach, file=sys.stderr)
    sys.exit(1)
print("Every include keeps to its layer.")
PY
