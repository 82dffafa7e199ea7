#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# pellamy-report.exe saving into a folder that takes no new files from its user, as "nobody" under
# Wine: a file the user may write is written where it is (same file, new content), one it may not
# write is refused and kept, and no file is made in the folder.
#   report_in_place.sh WINE64 PELLAMY_REPORT_EXE
# Switching to another user needs root; elsewhere the test is skipped (exit 77).
set -euo pipefail
wine64=$1
report=$2
if [[ $(id -u) -ne 0 ]] || ! command -v setpriv >/dev/null; then
    echo "switching to another user needs root and setpriv; skipped"
    exit 77
fi
work=$(mktemp -d)
as_nobody()
{
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env HOME="$work/home" WINEPREFIX="$work/home/prefix" WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8 "$@"
}
finish()
{
    as_nobody "$(dirname "$wine64")/wineserver" -k 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
chmod 755 "$work"
mkdir "$work/home" "$work/closed" "$work/data"
chown nobody:nogroup "$work/home"
cp "$report" "$work/home/pellamy-report.exe"
chmod 755 "$work/home/pellamy-report.exe"
echo "a text" >"$work/data/a.txt"
echo earlier >"$work/closed/writable.csv"
echo earlier >"$work/closed/not-theirs.csv"
chmod 666 "$work/closed/writable.csv"
chmod 644 "$work/closed/not-theirs.csv"
inode=$(stat -c %i "$work/closed/writable.csv")
windows() { echo "Z:${1//\//\\}"; }

failures=0
check()
{
    if "$@"; then
        return 0
    fi
    echo "failed: $*"
    failures=$((failures + 1))
}

as_nobody "$wine64" "$work/home/pellamy-report.exe" --format csv -o "$(windows "$work/closed/writable.csv")" \
    "$(windows "$work/data")" || { echo "the save into the closed folder failed"; failures=$((failures + 1)); }
check grep -q '^\.txt,' "$work/closed/writable.csv"
check test "$(stat -c %i "$work/closed/writable.csv")" = "$inode"

if as_nobody "$wine64" "$work/home/pellamy-report.exe" -o "$(windows "$work/closed/not-theirs.csv")" \
    "$(windows "$work/data")" 2>"$work/home/errors"; then
    echo "a file its user may not write was written"
    failures=$((failures + 1))
fi
check grep -q "Cannot create file" "$work/home/errors"
check test "$(cat "$work/closed/not-theirs.csv")" = earlier
if as_nobody "$wine64" "$work/home/pellamy-report.exe" -o "$(windows "$work/closed/new.csv")" \
    "$(windows "$work/data")" 2>/dev/null; then
    echo "a new file was made in a folder that takes none"
    failures=$((failures + 1))
fi
check test "$(ls "$work/closed" | sort | tr '\n' ' ')" = "not-theirs.csv writable.csv "
if ((failures > 0)); then
    exit 1
fi
echo "saved in place as another user; refused where it may not write"
