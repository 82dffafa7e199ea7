#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows build: installs MinGW-w64 and Wine from Debian when missing, cross-builds the
# `windows` preset (the core, the Windows platform layer and pellamy-report.exe) and runs its tests
# under Wine. pellamy-report.exe is compared with the Linux pellamy-report of build/release (else
# build/dev) where one has been built.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-packages.sh g++-mingw-w64-x86-64-posix wine64 googletest nlohmann-json3-dev xvfb xauth xdotool

linux_report=
for build in build/release build/dev; do
    if [[ -x $build/cli/pellamy-report ]]; then
        linux_report=$PWD/$build/cli/pellamy-report
        break
    fi
done

cmake --preset windows ${linux_report:+-DPELLAMY_LINUX_REPORT="$linux_report"}
cmake --build --preset windows --parallel "$(nproc)"
ctest --preset windows --parallel "$(nproc)"
