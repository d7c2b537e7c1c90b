#!/bin/sh
# Times page turns of the viewer under Wine: two-page books of the 12-megapixel pictures of the
# shared corpus, on a screen large enough to show them whole (4096 x 3200) and on a 1024 x 768
# screen where they are fitted, at 24 and 8 bits. Prints one line per run.
# Usage: scripts/page-turn-bench.sh [TURNS]   (needs the Windows and native builds: build-win, build)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/.."
turns=${1:-9}
shared=${EDAMIRU_SHARED:-../shared}
perf="$shared/corpus/perf"
[ -d "$perf" ] || { echo "page-turn-bench: no corpus at $perf" >&2; exit 2; }
cmake --build build-win --target edamiru page_turn_win >/dev/null
cmake --build build --target edamiru-book >/dev/null
books=$(mktemp -d)
trap 'rm -rf "$books"' EXIT
for picture in 420 420-progressive; do
    file="$perf/perf-4000x3000-$picture.jpg"
    build/tools/edamiru-book make --viewer build-win/app/edamiru.exe --out "$books/$picture.exe" \
        --title "$picture" "$file" "$file" >/dev/null
done
for screen in 4096x3200 1024x768; do
    for depth in 24 8; do
        for picture in 420 420-progressive; do
            printf '%s, %s bits, %s: ' "$screen" "$depth" "$picture"
            EDAMIRU_SCREEN=$screen "$here/run-wine-tests.sh" build-win "$depth" --exec \
                wine build-win/tests/e2e/page_turn_win.exe "Z:$books/$picture.exe" "$turns" 2>/dev/null
        done
    done
done
