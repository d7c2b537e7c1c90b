#!/bin/sh
# Runs a fuzzer with the shared corpus's folders of its kind as read-only seeds; the collection
# fuzzer's seeds are small collections made afresh by collection-seeds.sh (fuzz-collection-seeds/).
# Usage: run-fuzzer.sh jpeg|bmp|collection FUZZER CORPUS_DIR [SECONDS] [extra libFuzzer options...]
# New inputs go to a work folder beside the fuzzer (fuzz-KIND-work/); crashes to fuzz-KIND-crashes/.
set -eu
kind=$1
fuzzer=$2
corpus=$3
seconds=${4:-300}
shift 3
[ $# -gt 0 ] && shift
here=$(dirname "$fuzzer")
mkdir -p "$here/fuzz-$kind-work" "$here/fuzz-$kind-crashes"
max_len=65536
dict=""
seeds=""
case $kind in
    jpeg) folders="generated/jpeg generated/damaged public"; dict="-dict=$(dirname "$0")/jpeg.dict" ;;
    bmp) folders="generated/bmp generated/damaged public" ;;
    collection)
        folders=""
        max_len=4096
        rm -rf "$here/fuzz-collection-seeds"
        "$(dirname "$0")/collection-seeds.sh" "$here/fuzz-collection-seeds"
        seeds="$here/fuzz-collection-seeds" ;;
    *) echo "unknown kind $kind (jpeg, bmp or collection)" >&2; exit 2 ;;
esac
for d in $folders; do
    [ -d "$corpus/$d" ] && seeds="$seeds $corpus/$d"
done
[ -n "$seeds" ] || echo "shared corpus not found at $corpus: fuzzing without seeds"
# shellcheck disable=SC2086
exec "$fuzzer" -max_total_time="$seconds" -max_len="$max_len" -rss_limit_mb=2048 -timeout=10 \
    $dict -artifact_prefix="$here/fuzz-$kind-crashes/" "$@" \
    "$here/fuzz-$kind-work" $seeds
