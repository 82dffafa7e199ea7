#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes a picture of the Windows window under Wine on a private X server:
#   scripts/windows-screenshot.sh OUT.png [--dpi N] [--wait SECONDS] [--] [pellamy.exe arguments...]
# The window opens with the arguments given (a folder, "/s" for the skin); after it has been shown
# and has waited, the whole X screen is saved as a PNG. Needs the windows preset built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "$1")
shift
dpi=96
wait=4
while (($# > 0)); do
    case $1 in
    --dpi) dpi=$2; shift 2 ;;
    --wait) wait=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
    esac
done
exe=$root/build/windows/app/win32/pellamy.exe
[[ -f $exe ]] || { echo "Build the windows preset first: $exe is missing" >&2; exit 1; }
bash "$root/scripts/install-packages.sh" xvfb xdotool imagemagick
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PELLAMY_WINEPREFIX=$root/build/windows/wineprefix-gui
export PELLAMY_WINE_DPI=$dpi
export PELLAMY_XVFB_ARGS="-fbdir $work"
# The program runs in the background of the X server's session; the picture is the server's
# screen file, read once the window has had time to draw.
cat >"$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
set -u
root=$1 wait=$2 work=$3
shift 3
"$root/cmake/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$PELLAMY_WINE_DPI" /f >/dev/null 2>&1
"$root/cmake/wine-run.sh" "$@" &
for _ in $(seq 1 120); do
    xdotool search --name '^Pellamy$' >/dev/null 2>&1 && break
    sleep 0.5
done
sleep "$wait"
cp "$work/Xvfb_screen0" "$work/screen.xwd"
WINEPREFIX=$PELLAMY_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true
SESSION
xvfb-run -a -s "-screen 0 ${PELLAMY_XVFB_SCREEN:-1600x1200x24} $PELLAMY_XVFB_ARGS" \
    bash "$work/session.sh" "$root" "$wait" "$work" "$exe" "$@"
convert "xwd:$work/screen.xwd" "$out"
echo "$out"
