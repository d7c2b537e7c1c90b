#!/bin/bash
# Runs every test of the project on a Debian 12 machine, installing what is missing (as root):
#   native build + unit and corpus tests, the same under AddressSanitizer/UBSan,
#   a short fuzzing run of the JPEG decoder, the 32-bit Windows build and its tests under Wine
#   on a 24-bit and on an 8-bit screen.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
shared=${EDAMIRU_SHARED:-$top/../shared}
jobs=${JOBS:-2}

have_everything() {
    command -v wine >/dev/null && command -v i686-w64-mingw32-g++-posix >/dev/null &&
    command -v Xvfb >/dev/null && command -v clang++ >/dev/null && command -v djpeg >/dev/null &&
    command -v ninja >/dev/null && [ -d /usr/src/googletest ] && [ -f /usr/include/benchmark/benchmark.h ] &&
    [ -f /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf ] && locale -a | grep -qix 'ja_JP.utf8'
}
if ! have_everything; then
    if [ "$(id -u)" = 0 ]; then sh scripts/install-deps.sh; else sudo sh scripts/install-deps.sh; fi
fi

passed=0; failed=0
# Runs ctest (or a wrapper that runs it), shows its output and adds its counts to the totals.
count_ctest() {
    local log; log=$(mktemp)
    local status=0
    "$@" 2>&1 | tee "$log" || status=$?
    local line; line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
    if [ -n "$line" ]; then
        local total fails
        total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
        fails=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed.*/\1/')
        passed=$((passed + total - fails)); failed=$((failed + fails))
    elif [ "$status" != 0 ]; then
        failed=$((failed + 1))
    fi
    rm -f "$log"
    return "$status"
}

stage() { printf '\n==== %s ====\n' "$*"; }
overall=0

stage "native build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$jobs"
count_ctest ctest --test-dir build --output-on-failure -j"$jobs" || overall=1

stage "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEDAMIRU_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
count_ctest ctest --test-dir build-asan --output-on-failure -j"$jobs" || overall=1

if [ -f fuzz/CMakeLists.txt ]; then
    stage "fuzzing smoke runs (30 s each)"
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
        -DCMAKE_CXX_COMPILER=clang++ -DEDAMIRU_FUZZ=ON >/dev/null
    cmake --build build-fuzz -j"$jobs" --target jpeg_fuzzer bmp_fuzzer collection_fuzzer
    for kind in jpeg bmp collection; do
        if fuzz/run-fuzzer.sh "$kind" "build-fuzz/fuzz/${kind}_fuzzer" "$shared/corpus" 30; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1)); overall=1
        fi
    done
fi

stage "Windows build and tests under Wine"
cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake >/dev/null
cmake --build build-win -j"$jobs"
if [ -x scripts/run-wine-tests.sh ]; then
    count_ctest scripts/run-wine-tests.sh build-win 24 || overall=1
    stage "Windows tests on an 8-bit screen"
    count_ctest scripts/run-wine-tests.sh build-win 8 || overall=1
fi

echo
echo "all stages: $passed passed, $failed failed"
exit "$overall"
