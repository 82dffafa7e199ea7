#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets Pellamy up and shows what a folder contains (default: the working directory).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" release >&2
exec "$here/build/release/cli/pellamy-report" "$@"
