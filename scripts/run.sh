#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets Pellamy up and opens its window on a folder (default: the working directory). Without a
# display it says so and prints the folder's summary with pellamy-report instead.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" release >&2
if (($# == 0)); then
    set -- "$PWD"
fi
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo "No display to open the window on; here is the summary from pellamy-report." >&2
    exec "$here/build/release/cli/pellamy-report" "$1"
fi
exec "$here/build/release/app/qt/pellamy" "$@"
