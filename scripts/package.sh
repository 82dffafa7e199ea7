#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of Pellamy: installs what building needs (as scripts/setup.sh does),
# builds the release preset without tests and benchmarks, and runs CPack. The package's path is
# the last line printed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev nlohmann-json3-dev
    dpkg-dev file gzip)
bash scripts/install-packages.sh "${PACKAGES[@]}"

build=build/package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELLAMY_BUILD_TESTS=OFF -DPELLAMY_BUILD_BENCH=OFF >&2
cmake --build "$build" --parallel "$(nproc)" >&2
(cd "$build" && cpack -G DEB >&2)
package=$(ls -t "$here/$build"/pellamy_*.deb | head -n 1)
echo "$package"
