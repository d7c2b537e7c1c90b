#!/bin/sh
# Runs the JPEG fuzzer with the shared corpus's JPEG folders as read-only seeds.
# Usage: run-jpeg-fuzzer.sh FUZZER CORPUS_DIR [SECONDS] [extra libFuzzer options...]
# New inputs go to a work folder beside the fuzzer (fuzz-jpeg-work/); crashes to fuzz-jpeg-crashes/.
set -eu
fuzzer=$1
corpus=$2
seconds=${3:-300}
shift 2
[ $# -gt 0 ] && shift
here=$(dirname "$fuzzer")
mkdir -p "$here/fuzz-jpeg-work" "$here/fuzz-jpeg-crashes"
seeds=""
for d in generated/jpeg generated/damaged public; do
    [ -d "$corpus/$d" ] && seeds="$seeds $corpus/$d"
done
[ -n "$seeds" ] || echo "shared corpus not found at $corpus: fuzzing without seeds"
# shellcheck disable=SC2086
exec "$fuzzer" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
    -dict="$(dirname "$0")/jpeg.dict" -artifact_prefix="$here/fuzz-jpeg-crashes/" "$@" \
    "$here/fuzz-jpeg-work" $seeds
