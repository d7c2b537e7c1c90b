#!/bin/sh
# Runs the CTest suite of a Windows build folder under Wine, on a private Xvfb screen.
# Usage: scripts/run-wine-tests.sh BUILD_DIR [DEPTH] [ctest args...]
#        scripts/run-wine-tests.sh BUILD_DIR DEPTH --exec COMMAND...   (COMMAND instead of CTest)
#   DEPTH: the screen's bits per pixel, 24 (default), 16 or 8.
#   EDAMIRU_SCREEN: the screen's size, 1024x768 unless given.
# Exits with CTest's status: non-zero when a test fails.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build-win}
depth=${2:-24}
if [ $# -ge 2 ]; then shift 2; else shift $#; fi
[ -d "$build" ] || { echo "run-wine-tests: no build folder $build" >&2; exit 2; }
build=$(cd "$build" && pwd)

"$here/wine-prefix-setup.sh" "$build"
WINE_BUILD_DIR=$build
. "$here/wine-env.sh"

display_file=$(mktemp)
xvfb_pid=
cleanup() {
    wineserver -k 2>/dev/null || true   # this prefix's server and programs only
    wineserver -w 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -f "$display_file"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display number itself and writes it to file descriptor 3.
Xvfb -displayfd 3 -screen 0 "${EDAMIRU_SCREEN:-1024x768}x$depth" -nolisten tcp 3>"$display_file" </dev/null >/dev/null 2>&1 &
xvfb_pid=$!
tries=0
while [ ! -s "$display_file" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "run-wine-tests: Xvfb did not start" >&2
        exit 2
    fi
    sleep 0.1
done
DISPLAY=":$(head -n 1 "$display_file")"
export DISPLAY

# One wineserver for the whole run. Wine's services start now with their output going nowhere:
# started by the first test instead, they would inherit and hold open CTest's output pipes.
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot.exe </dev/null >/dev/null 2>&1
# Likewise the desktop: a program that uses it for the whole run keeps it from closing between
# tests, when the next test to open a window would start it anew and CTest wait for that.
keeper="$build/tests/support/edamiru_desktop_keeper.exe"
[ -f "$keeper" ] && wine "$keeper" </dev/null >/dev/null 2>&1 &

status=0
if [ "${1:-}" = "--exec" ]; then
    shift
    "$@" || status=$?
    exit $status
fi
cd "$build"
ctest --output-on-failure "$@" || status=$?
exit $status
