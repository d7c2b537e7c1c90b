#!/bin/sh
# Makes BUILD_DIR/wineprefix-bare: the tests' prefix without the Japanese font replacements, as on
# a Windows installed in another language, whose dialogs must find faces of their own. Files are
# hard links to the tests' prefix except the registry, which Wine rewrites. Then starts its
# server and services with their output going nowhere, as run-wine-tests.sh does.
# Usage: scripts/wine-prefix-bare.sh BUILD_DIR      (stop it with: WINEPREFIX=... wineserver -k)
set -eu
build=$(cd "$1" && pwd)
main=$build/wineprefix
bare=$build/wineprefix-bare
[ -f "$main/.setup-done" ] || { echo "wine-prefix-bare: no prepared prefix $main" >&2; exit 2; }

if [ ! -f "$bare/.bare-done" ] || [ "$main/.setup-done" -nt "$bare/.bare-done" ]; then
    rm -rf "$bare"
    cp -al "$main" "$bare"
    for reg in system.reg userdef.reg; do
        cp --remove-destination "$main/$reg" "$bare/$reg"
    done
    rm "$bare/user.reg"
    # Every key of user.reg except the font replacements.
    awk '/^\[/ { skip = index($0, "[Software\\\\Wine\\\\Fonts\\\\Replacements]") == 1 } !skip' \
        "$main/user.reg" >"$bare/user.reg"
    grep -q 'Fonts\\\\Replacements' "$bare/user.reg" && { echo "wine-prefix-bare: replacements left" >&2; exit 1; }
    touch "$bare/.bare-done"
fi

WINE_BUILD_DIR=$build
. "$(dirname "$0")/wine-env.sh"
WINEPREFIX=$bare
export WINEPREFIX
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot.exe </dev/null >/dev/null 2>&1
keeper="$build/tests/support/edamiru_desktop_keeper.exe"
if [ -f "$keeper" ]; then wine "$keeper" </dev/null >/dev/null 2>&1 & fi
exit 0
