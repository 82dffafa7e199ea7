#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a Windows program under Wine in a private prefix: $PELLAMY_WINEPREFIX, else "wineprefix" in
# the working folder's build tree (the folder holding CMakeCache.txt above it). The prefix is made
# on first use, once, even when several tests start together. Wine's debug output stays off.
set -euo pipefail

wine64=${PELLAMY_WINE64:-}
if [[ -z $wine64 ]]; then
    wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
fi
if [[ -z ${PELLAMY_WINEPREFIX:-} ]]; then
    dir=$PWD
    while [[ $dir != / && ! -f $dir/CMakeCache.txt ]]; do
        dir=$(dirname "$dir")
    done
    [[ -f $dir/CMakeCache.txt ]] || dir=${TMPDIR:-/tmp}
    PELLAMY_WINEPREFIX=$dir/wineprefix
fi
export WINEPREFIX=$PELLAMY_WINEPREFIX
export WINEDEBUG=-all
# Wine takes the user's locale from the environment of the processes it starts; one locale for all
# of them keeps the regional settings of every test the same, whichever process came first.
export LC_ALL=${PELLAMY_WINE_LOCALE:-en_US.UTF-8}
export LANG=$LC_ALL
# No window system: the tests need none, and Wine must not ask to install Mono or Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="

if [[ ! -f $WINEPREFIX/.ready ]]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [[ ! -f $WINEPREFIX/.ready ]]; then
            "$wine64" wineboot -i >/dev/null 2>&1 || true
            "$(dirname "$wine64")/wineserver" -w 2>/dev/null || true
            touch "$WINEPREFIX/.ready"
        fi
    ) 9>"$WINEPREFIX.lock"
fi
# A server that outlives each test by a while saves every later test the start of the server and
# of Wine's own services. Both are started here, away from the program's output: whoever reads
# that output waits until every process holding it has ended.
"$(dirname "$wine64")/wineserver" -p30 </dev/null >/dev/null 2>&1 || true
"$wine64" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
exec "$wine64" "$@"
