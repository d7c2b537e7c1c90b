#!/bin/bash
# Fuzzes the JPEG decoder (Probe and Decode) for a number of seconds, seeded with the shared
# corpus's JPEG files when that is present. Usage: scripts/fuzz-jpeg.sh BUILD_DIR [SECONDS]
# (BUILD_DIR configured with clang and -DEDAMIRU_FUZZ=ON). Findings land in BUILD_DIR/fuzz-findings.
set -euo pipefail
build=${1:?usage: fuzz-jpeg.sh BUILD_DIR [SECONDS]}
seconds=${2:-30}
here=$(cd "$(dirname "$0")/.." && pwd)
shared=${EDAMIRU_SHARED:-$here/../shared}
work="$build/fuzz-work"
mkdir -p "$work/corpus" "$build/fuzz-findings"
seeds=()
if [ -d "$shared/corpus" ]; then
    seeds=("$shared/corpus/generated/jpeg" "$shared/corpus/generated/damaged" "$shared/corpus/public")
else
    echo "shared corpus not found at $shared/corpus: fuzzing without seeds"
fi
"$build/fuzz/fuzz_jpeg" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$build/fuzz-findings/" -print_final_stats=1 "$work/corpus" "${seeds[@]}"
