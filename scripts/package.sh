#!/bin/bash
# Builds the Windows programs and writes the release, dist/edamiru-VERSION-win32.zip: the viewer,
# the book tool, the Japanese guide, the licence and the notices of what the programs carry, with
# those libraries' licence texts copied from the Debian packages they were built with.
# Installs what is missing (Debian 12, root). The zip's bytes depend only on its inputs: entries
# sorted, every time stamp that of the last commit (or SOURCE_DATE_EPOCH when set).
set -euo pipefail
cd "$(dirname "$0")/.."

if ! { command -v i686-w64-mingw32-g++-posix && command -v ninja && command -v python3 &&
       [ -f /usr/share/doc/libstb-dev/copyright ]; } >/dev/null 2>&1; then
    if [ "$(id -u)" = 0 ]; then sh scripts/install-deps.sh; else sudo sh scripts/install-deps.sh; fi
fi

[ -f build-win/CMakeCache.txt ] ||
    cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake >/dev/null
cmake --build build-win -j"${JOBS:-2}" --target edamiru edamiru-book

version=$(sed -n 's/^#define EDAMIRU_VERSION_TEXT "\(.*\)"$/\1/p' build-win/generated/edamiru_version.h)
[ -n "$version" ] || { echo "no version in build-win/generated/edamiru_version.h" >&2; exit 1; }

# Linked statically, the programs need nothing beside them but Windows' own DLLs; a runtime DLL
# (libgcc_s, libstdc++, libwinpthread) would be missing from the zip.
for program in build-win/app/edamiru.exe build-win/tools/edamiru-book.exe; do
    if i686-w64-mingw32-objdump -p "$program" | grep -i 'DLL Name: lib'; then
        echo "$program needs a runtime DLL that the release does not carry" >&2; exit 1
    fi
done

stamp=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}
mkdir -p dist
zip=dist/edamiru-$version-win32.zip
python3 scripts/release_zip.py "$zip" "edamiru-$version" "$version" "$stamp" \
    edamiru.exe=build-win/app/edamiru.exe \
    edamiru-book.exe=build-win/tools/edamiru-book.exe \
    guide-ja.txt=docs/release/guide-ja.txt \
    LICENSE.txt=LICENSE \
    NOTICES.txt=docs/release/NOTICES.txt \
    licenses/mingw-w64.txt=/usr/share/doc/mingw-w64-i686-dev/copyright \
    licenses/gcc.txt=/usr/share/doc/gcc-mingw-w64-i686-posix/copyright \
    licenses/stb.txt=/usr/share/doc/libstb-dev/copyright
echo "release: $zip"
