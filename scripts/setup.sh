#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running and testing Pellamy need, when missing,
# then configures and builds the given CMake preset (default: release).
set -euo pipefail

PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
    shared-mime-info python3 xvfb xauth fonts-dejavu-core fonts-liberation locales
)

missing=()
for package in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    if [[ $(id -u) -eq 0 ]]; then
        as_root=()
    elif command -v sudo >/dev/null; then
        as_root=(sudo)
    else
        echo "These Debian packages are missing and there is no sudo to install them: ${missing[*]}" >&2
        exit 1
    fi
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The tests of German date and number forms need de_DE.UTF-8; they skip with a message without it.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && [[ -f /etc/locale.gen ]]; then
    if [[ $(id -u) -eq 0 ]]; then
        as_root=()
    elif command -v sudo >/dev/null; then
        as_root=(sudo)
    else
        as_root=(false)
    fi
    if "${as_root[@]}" sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen 2>/dev/null; then
        "${as_root[@]}" locale-gen >/dev/null || echo "locale-gen failed: the de_DE tests will skip" >&2
    else
        echo "Cannot generate de_DE.UTF-8: the de_DE tests will skip" >&2
    fi
fi

preset=${1:-release}
cd "$(dirname "$0")/.."
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --parallel "$(nproc)"
