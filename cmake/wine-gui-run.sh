#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a Windows program that shows windows under Wine, drawn on a private X server (xvfb-run), in
# a prefix of its own ("wineprefix-gui" beside the build's prefix): Wine's desktop process keeps the
# display it was started with, so the prefix's server is ended with the X server. Programs run one at
# a time (the tests that use this runner share a resource lock).
#   PELLAMY_WINE_DPI   the dots per inch Wine draws at (LogPixels), 96 unless set
#   PELLAMY_XVFB_SCREEN  the X screen, "1280x1024x24" unless set
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [[ -z ${PELLAMY_WINEPREFIX:-} ]]; then
    dir=$PWD
    while [[ $dir != / && ! -f $dir/CMakeCache.txt ]]; do
        dir=$(dirname "$dir")
    done
    [[ -f $dir/CMakeCache.txt ]] || dir=${TMPDIR:-/tmp}
    export PELLAMY_WINEPREFIX=$dir/wineprefix-gui
fi
wine64=${PELLAMY_WINE64:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
wineserver=$(dirname "$wine64")/wineserver
finish()
{
    WINEPREFIX=$PELLAMY_WINEPREFIX "$wineserver" -k 2>/dev/null || true
}
trap finish EXIT
finish
dpi=${PELLAMY_WINE_DPI:-96}
# The prefix is made by the first run (wine-run.sh); the dpi is set in it before the program starts.
# The inner script gets everything as arguments: xvfb-run is a POSIX shell script, whose shell may
# drop exported bash functions from the environment.
xvfb-run -a -s "-screen 0 ${PELLAMY_XVFB_SCREEN:-1280x1024x24}" bash -c '
    here=$1 dpi=$2
    shift 2
    "$here/wine-run.sh" reg add "HKCU\Control Panel\Desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >/dev/null 2>&1 || true
    exec "$here/wine-run.sh" "$@"' inner "$here" "$dpi" "$@"
