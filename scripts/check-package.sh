#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, installs it on this machine (as root) and checks what was installed:
# pellamy-report runs, the desktop entry and the AppStream metainfo validate, and lintian finds no
# error in the package (accepted warnings are in data/debian/lintian-overrides). Fails when any
# step fails.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
if [[ $(id -u) -ne 0 ]]; then
    echo "check-package.sh installs the package and must run as root" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
tools=(desktop-file-utils appstream lintian)
bash scripts/install-packages.sh "${tools[@]}"

package=$(bash scripts/package.sh | tail -n 1)
echo "== package: $package"
apt-get install -y -q "$package"

echo "== installed pellamy-report --version"
/usr/bin/pellamy-report --version
echo "== installed pellamy --version"
/usr/bin/pellamy --version
echo "== summary of a folder"
sample=$(mktemp -d)
trap 'rm -rf "$sample"' EXIT
printf 'one\n' >"$sample/a.txt"
printf 'two\n' >"$sample/b.txt"
printf 'x' >"$sample/c.jpg"
summary=$(/usr/bin/pellamy-report "$sample")
echo "$summary"
grep -q 'Files:3' <<<"$summary"

echo "== desktop-file-validate"
desktop-file-validate /usr/share/applications/org.pellamy.Pellamy.desktop
echo "== appstreamcli validate"
appstreamcli validate --no-net /usr/share/metainfo/org.pellamy.Pellamy.metainfo.xml
for size in 16x16 32x32 48x48 64x64 128x128 256x256 scalable; do
    ls /usr/share/icons/hicolor/$size/apps/org.pellamy.Pellamy.* >/dev/null
done
man -l /usr/share/man/man1/pellamy-report.1.gz >/dev/null

echo "== lintian"
# lintian exits non-zero on errors; warnings are listed for the record.
lintian --info --display-info --fail-on error "$package" | tee "$sample/lintian.txt"
echo "lintian: $(grep -c "^E:" "$sample/lintian.txt" || true) errors, $(grep -c "^W:" "$sample/lintian.txt" || true) warnings"
echo "== the package installs and checks out"
