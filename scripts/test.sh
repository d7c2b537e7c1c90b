#!/bin/bash
# Runs every test of the project on a Debian 12 machine, installing what is missing (as root):
#   native build + unit and corpus tests, the same under AddressSanitizer/UBSan, the same again
#   as 32-bit code (-m32) under AddressSanitizer/UBSan, the decoder's tests under ThreadSanitizer
#   with the helper thread taking every picture, short fuzzing runs of the JPEG decoder, the BMP
#   reader and the collection reader, the 32-bit Windows build and its tests under Wine on a 24-bit
#   screen, and those of them that depend on the screen again on an 8-bit screen.
# Each stage prints how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
shared=${EDAMIRU_SHARED:-$top/../shared}
jobs=${JOBS:-2}

have_everything() {
    command -v wine >/dev/null && command -v i686-w64-mingw32-g++-posix >/dev/null &&
    command -v Xvfb >/dev/null && command -v clang++ >/dev/null && command -v djpeg >/dev/null &&
    command -v ninja >/dev/null && command -v osslsigncode >/dev/null && command -v openssl >/dev/null &&
    [ -d /usr/src/googletest ] && [ -f /usr/include/benchmark/benchmark.h ] &&
    [ -f /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf ] && locale -a | grep -qix 'ja_JP.utf8' &&
    dpkg -s gcc-multilib g++-multilib lib32asan8 lib32ubsan1 libtsan2 >/dev/null 2>&1
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

# A stage's title, and the time the stage before it took.
stage_name=""; stage_start=$SECONDS
stage_done() {
    [ -n "$stage_name" ] && printf '==== %s: %d s ====\n' "$stage_name" $((SECONDS - stage_start))
    stage_name=""
}
stage() {
    stage_done
    stage_name="$*"; stage_start=$SECONDS
    printf '\n==== %s ====\n' "$*"
}
overall=0

stage "native build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$jobs"
count_ctest ctest --test-dir build --output-on-failure -j"$jobs" || overall=1

stage "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEDAMIRU_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
count_ctest ctest --test-dir build-asan --output-on-failure -j"$jobs" || overall=1

# size_t is 32 bits in the program: here overflowing size computations show. GoogleTest is built
# from /usr/src/googletest (Debian's libgtest is 64-bit only); the benchmarks are left out.
stage "native tests as 32-bit code under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-m32 -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEDAMIRU_M32=ON -DEDAMIRU_SANITIZE=ON >/dev/null
cmake --build build-m32 -j"$jobs"
count_ctest ctest --test-dir build-m32 --output-on-failure -j"$jobs" || overall=1

# The decoder alone, its helper thread taking pictures of every size (EDAMIRU_HELPER_EAGER=1);
# any report fails its test. A whole corpus pass takes over 6 minutes here on 2 cores: the corpus
# tests decode each file once for all their checks (JpegCorpusRows), and the single-thread
# pass beside it.
stage "JPEG decoder tests under ThreadSanitizer, the helper thread on every picture"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEDAMIRU_TSAN=ON \
    -DEDAMIRU_SKIP="collection;image;tools" >/dev/null
cmake --build build-tsan -j"$jobs" --target jpeg_unit_tests jpeg_corpus_tests
# Without address-space randomisation: the sanitizer's fixed memory layout cannot meet a
# randomised mapping on kernels that randomise many bits.
norandom=""
setarch "$(uname -m)" -R true 2>/dev/null && norandom="setarch $(uname -m) -R"
count_ctest env EDAMIRU_HELPER_EAGER=1 TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    $norandom ctest --test-dir build-tsan --output-on-failure -j"$jobs" || overall=1

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
    # Only the tests labelled `screen` depend on the display; the others ran above.
    stage "Windows screen tests on an 8-bit screen"
    count_ctest scripts/run-wine-tests.sh build-win 8 -L screen || overall=1
fi

stage_done
echo "all stages took $SECONDS s"
echo
echo "all stages: $passed passed, $failed failed"
exit "$overall"
