#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running and testing Pellamy need, when missing,
# then configures and builds the given CMake preset (default: release).
set -euo pipefail

PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
    shared-mime-info python3 python3-gi gir1.2-glib-2.0 desktop-file-utils xvfb xauth xclip dbus
    fonts-dejavu-core fonts-liberation locales
)

# Locales the tests of regional settings run pellamy-report under; they skip those that are missing.
LOCALES=(de_DE.UTF-8 en_US.UTF-8)

bash "$(dirname "$0")/install-packages.sh" "${PACKAGES[@]}"

# Generating locales changes the system, so it happens only when running as root.
if [[ $(id -u) -eq 0 && -f /etc/locale.gen ]]; then
    generate=false
    for name in "${LOCALES[@]}"; do
        if ! locale -a 2>/dev/null | grep -qxF "${name/UTF-8/utf8}"; then
            if grep -q "^# *${name} UTF-8" /etc/locale.gen; then
                sed -i "s/^# *${name} UTF-8/${name} UTF-8/" /etc/locale.gen
            elif ! grep -q "^${name} UTF-8" /etc/locale.gen; then
                echo "${name} UTF-8" >>/etc/locale.gen
            fi
            generate=true
        fi
    done
    if $generate; then
        locale-gen >/dev/null
    fi
fi

preset=${1:-release}
cd "$(dirname "$0")/.."
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --parallel "$(nproc)"
