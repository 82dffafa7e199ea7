#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# pellamy --help and --version answer without a display and without a window; a folder named
# --help is still opened when given as ./--help. Argument: the pellamy program.
set -eu
pellamy=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

help=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$pellamy" --help) || fail "--help exits with $?"
case $help in
"Usage: pellamy [FOLDER | FILE] [/s]"*) ;;
*) fail "--help printed: $help" ;;
esac
version=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$pellamy" --version) || fail "--version exits with $?"
echo "$version" | grep -Eqx 'pellamy [0-9]+\.[0-9]+\.[0-9]+' || fail "--version printed: $version"

# Without a display the window cannot open: an option taken for a folder would fail here.
if env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$pellamy" --helpful >/dev/null 2>&1; then
    fail "--helpful was taken as an option"
fi
mkdir "$work/--help"
cd "$work"
out=$(QT_QPA_PLATFORM=offscreen PELLAMY_QUIT_AFTER_START=1 "$pellamy" ./--help 2>/dev/null) || fail "./--help did not open the window"
[ -z "$out" ] || fail "./--help printed: $out"
echo "ok"
