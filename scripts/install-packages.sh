#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs those of the given Debian packages that are missing, through sudo when not root. Waits
# for another package manager run to end rather than failing at once. Everything it prints goes to
# standard error, so that scripts whose standard output is their result can call it.
set -euo pipefail
exec >&2

missing=()
for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
((${#missing[@]} > 0)) || exit 0

echo "Installing: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
    as_root=()
elif command -v sudo >/dev/null; then
    as_root=(sudo)
else
    echo "These Debian packages are missing and there is no sudo to install them: ${missing[*]}"
    exit 1
fi
apt=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
"${as_root[@]}" "${apt[@]}" update -q
"${as_root[@]}" "${apt[@]}" install -y -q --no-install-recommends "${missing[@]}"
