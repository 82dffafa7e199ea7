#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows installer (scripts/package-windows.sh) and checks it under Wine, in a fresh
# prefix of its own:
#   - installed for the user with `msiexec /i ... /qn`: both programs in the user's local programs
#     folder, "Pellamy" in the user's Start menu, the product in the installed programs with its
#     version and publisher; the installed pellamy-report.exe gives its version and a folder's rows;
#   - a package of a newer version replaces it;
#   - uninstalled with `msiexec /x ... /qn`: neither program nor the shortcut nor the product's
#     registry values remain; of the context-menu entries, those naming the installed pellamy.exe
#     are gone and the one naming another program is still there.
# Fails at the first check that fails.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

bash scripts/install-packages.sh wine64 msitools
msi=$(bash scripts/package-windows.sh | tail -n 1)
version=$(msiinfo export "$msi" Property | sed -n 's/^ProductVersion\t//p' | tr -d '\r')
# The upgrade: the same programs as a package one patch level newer.
IFS=. read -r major minor patch <<<"$version"
newer_version=$major.$minor.$((patch + 1))
newer_msi=$(bash scripts/package-windows.sh --version "$newer_version" | tail -n 1)
echo "== packages: $msi, $newer_msi"

work=$(mktemp -d)
export WINEPREFIX=$work/prefix
export WINEDEBUG=-all
# No Mono or Gecko to install, and no menu entries of the Start menu's shortcuts on this machine's
# desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(dirname "$wine")/wineserver
cleanup()
{
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
check()
{
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what" >&2
        failures=$((failures + 1))
    fi
}
win() { "$wine" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# The Unix path of a Windows path in the prefix.
unix_path() { "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
windows_path() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
msiexec()
{
    local log=$work/msiexec-$((++msiexec_runs)).log
    if ! "$wine" msiexec "$@" /qn /l*v "$(windows_path "$log")" </dev/null >/dev/null 2>&1; then
        echo "msiexec $* failed; the end of its log:" >&2
        iconv -f UTF-16LE -t UTF-8 "$log" 2>/dev/null | tail -n 30 >&2 || tail -n 30 "$log" >&2
        return 1
    fi
}
msiexec_runs=0
# The default value of a registry key, or nothing when the key or its value is missing.
default_value()
{
    win reg query "$1" /ve | sed -n 's/^ *(Default) *REG_SZ *//p'
}
key_exists() { "$wine" reg query "$1" </dev/null >/dev/null 2>&1; }
key_missing() { ! key_exists "$1"; }

echo "== a fresh Wine prefix"
"$wine" wineboot -i </dev/null >/dev/null 2>&1
"$wineserver" -w

echo "== install $(basename "$msi")"
msiexec /i "$(windows_path "$msi")"
local_appdata=$(win cmd /c echo %LOCALAPPDATA%)
start_menu=$(win cmd /c echo %APPDATA%)'\Microsoft\Windows\Start Menu\Programs'
install_folder="$local_appdata\\Programs\\Pellamy"
installed_window="$install_folder\\pellamy.exe"
installed_report="$install_folder\\pellamy-report.exe"
echo "installed in $install_folder"
ls -l "$(unix_path "$install_folder")"
check "pellamy.exe is installed" test -f "$(unix_path "$installed_window")"
check "pellamy-report.exe is installed" test -f "$(unix_path "$installed_report")"
check "the Start menu has Pellamy.lnk" test -f "$(unix_path "$start_menu\\Pellamy.lnk")"
product_code=$(msiinfo export "$msi" Property | sed -n 's/^ProductCode\t//p' | tr -d '\r')
uninstall_key=
for root in HKCU HKLM; do
    key="$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product_code"
    if key_exists "$key"; then
        uninstall_key=$key
        break
    fi
done
check "the installed programs list Pellamy" test -n "$uninstall_key"
if [[ -n $uninstall_key ]]; then
    entry=$(win reg query "$uninstall_key")
    echo "$entry" | grep -E 'DisplayName|DisplayVersion|Publisher'
    check "its version is $version" grep -qE "DisplayVersion +REG_SZ +$version\$" <<<"$entry"
    check "its publisher is Pellamy" grep -qE 'Publisher +REG_SZ +Pellamy$' <<<"$entry"
fi

report_version=$(win "$installed_report" --version)
echo "$report_version"
check "the installed pellamy-report.exe is version $version" test "$report_version" = "pellamy-report $version"
sample=$(unix_path 'C:\sample')
mkdir -p "$sample"
printf 'one\n' >"$sample/a.txt"
printf 'two\n' >"$sample/b.txt"
printf 'x' >"$sample/c.jpg"
rows=$(win "$installed_report" --format csv 'C:\sample')
echo "$rows"
check "the summary has two .txt files" grep -qE '^\.txt,.*,2,"[^"]*"$' <<<"$rows"
check "the summary has one .jpg file" grep -qE '^\.jpg,.*,1,"[^"]*"$' <<<"$rows"
check "the summary has two types" test "$(grep -c '^\.' <<<"$rows")" -eq 2

echo "== upgrade to $(basename "$newer_msi")"
msiexec /i "$(windows_path "$newer_msi")"
check "pellamy-report.exe is in place after the upgrade" test "$(win "$installed_report" --version)" = "pellamy-report $version"
newer_code=$(msiinfo export "$newer_msi" Property | sed -n 's/^ProductCode\t//p' | tr -d '\r')
check "the older product is gone" key_missing "${uninstall_key:-HKCU\\none}"
check "the newer product is installed" key_exists "${uninstall_key%\\*}\\$newer_code"

# Context-menu entries as the window writes them: for folders and drives naming the installed
# pellamy.exe (the drives' with the skin), for all files naming another program. They are made
# after the upgrade: Wine's installer removes the older product without UPGRADINGPRODUCTCODE, so
# that there an upgrade takes them out as an uninstallation does, where Windows keeps them.
folder_verb='HKCU\Software\Classes\directory\shell\stuff'
drive_verb='HKCU\Software\Classes\Drive\shell\stuff'
file_verb='HKCU\Software\Classes\*\shell\stuff'
other_command='"C:\Other\pellamy.exe" "%1"'
register()
{
    "$wine" reg add "$1" /ve /d 'Run Pellamy' /f </dev/null >/dev/null 2>&1
    "$wine" reg add "$1\\command" /ve /d "$2" /f </dev/null >/dev/null 2>&1
}
register "$folder_verb" "\"$installed_window\" \"%1\""
register "$drive_verb" "\"$installed_window\" \"%1\" \"/s\""
register "$file_verb" "$other_command"
check "the folders' entry is registered" test "$(default_value "$folder_verb\\command")" = "\"$installed_window\" \"%1\""

echo "== uninstall"
msiexec /x "$newer_code"
check "pellamy.exe is removed" test ! -e "$(unix_path "$installed_window")"
check "pellamy-report.exe is removed" test ! -e "$(unix_path "$installed_report")"
check "the install folder is removed" test ! -e "$(unix_path "$install_folder")"
check "the Start menu entry is removed" test ! -e "$(unix_path "$start_menu\\Pellamy.lnk")"
check "the product's registry values are removed" key_missing "HKCU\\Software\\Pellamy"
check "the folders' entry naming the installed program is removed" key_missing "$folder_verb"
check "the drives' entry naming the installed program is removed" key_missing "$drive_verb"
check "the files' entry naming another program remains" test "$(default_value "$file_verb\\command")" = "$other_command"

if ((failures > 0)); then
    echo "$failures check(s) of the Windows package failed" >&2
    exit 1
fi
echo "== the Windows package installs, upgrades and uninstalls as it should"
