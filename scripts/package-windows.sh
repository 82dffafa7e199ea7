#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows installer of Pellamy, Pellamy-<version>-x64.msi: installs what it needs from
# Debian when missing, builds pellamy.exe and pellamy-report.exe in the `windows` preset (a release
# build; an existing build/windows, as scripts/windows.sh leaves it, is brought up to date, not
# built again) and makes the package with msitools' wixl from packaging/windows/pellamy.wxs.
#   scripts/package-windows.sh [--version X.Y.Z]
# The version is the project's (CMakeLists.txt); --version gives the package another one, as a
# test of upgrades needs. The package's path is the last line printed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

version=
while (($# > 0)); do
    case $1 in
    --version) version=$2; shift 2 ;;
    *) echo "usage: scripts/package-windows.sh [--version X.Y.Z]" >&2; exit 2 ;;
    esac
done

PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix googletest nlohmann-json3-dev msitools wixl)
bash scripts/install-packages.sh "${PACKAGES[@]}"

build=build/windows
if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake --preset windows >&2
fi
cmake --build "$build" --parallel "$(nproc)" --target pellamy pellamy-report >&2

if [[ -z $version ]]; then
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
fi
if ! [[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
    echo "Not a package version (X.Y.Z): '$version'" >&2
    exit 1
fi

# wixl finds the files relative to its working folder: the programs are staged below the output
# folder, without their symbols.
out=$here/build/windows-package
rm -rf "$out/bin"
mkdir -p "$out/bin"
for program in app/win32/pellamy.exe cli/pellamy-report.exe; do
    x86_64-w64-mingw32-strip -o "$out/bin/$(basename "$program")" "$build/$program"
done
msi=$out/Pellamy-$version-x64.msi
rm -f "$msi"
# wixl says "unimplemented" of a shortcut that is not advertised, yet writes it as given.
(cd "$out" && wixl --arch x64 -D Version="$version" -D SourceDir=bin -o "$msi" \
    "$here/packaging/windows/pellamy.wxs" 2>&1 | grep -v 'unimplemented$' >&2 || true)
[[ -f $msi ]] || { echo "wixl made no package" >&2; exit 1; }
echo "$msi"
