#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets Pellamy up and runs every test.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" release
cd "$here"
exec ctest --preset release --parallel "$(nproc)"
