#!/bin/sh
# Makes the Wine prefix of a build folder ready for the tests, once:
#   - a fresh 32-bit prefix;
#   - Wine's own fonts (Marlett, Tahoma, ...) copied in, since Debian's Wine does not find them;
#   - the Japanese dialog and menu fonts replaced by IPA Gothic, and windows unmanaged by X11
#     (without a window manager Wine would wait 2 s each time a window closes).
# Usage: scripts/wine-prefix-setup.sh BUILD_DIR
set -eu
here=$(cd "$(dirname "$0")" && pwd)
WINE_BUILD_DIR=${1:-build-win}
. "$here/wine-env.sh"

[ -f "$WINEPREFIX/.setup-done" ] && exit 0

# Two runners on the same build folder must not build the prefix at the same time.
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.setup-done" ] && exit 0

rm -rf "$WINEPREFIX"
wineboot -i </dev/null >/dev/null 2>&1
wineserver -w
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
# regedit reads UTF-16LE with a byte-order mark.
{ printf '\377\376'; iconv -f UTF-8 -t UTF-16LE "$here/wine-test.reg.in"; } >"$WINEPREFIX/drive_c/wine-test.reg"
wine regedit /S 'C:\wine-test.reg' </dev/null >/dev/null 2>&1
wineserver -w
touch "$WINEPREFIX/.setup-done"
