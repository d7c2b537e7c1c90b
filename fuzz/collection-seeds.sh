#!/bin/sh
# Writes small collections (the appended bytes only, no program) into a folder, as seeds for the
# collection fuzzer: a few titles (one in Shift-JIS), 0 to 5 entries whose first bytes are BMP,
# JPEG or neither, counts the bytes cannot hold, and cut copies.
# Usage: collection-seeds.sh FOLDER
set -eu
out=$1
mkdir -p "$out"

# A 32-bit number, little-endian.
le32() {
    n=$1
    for _ in 1 2 3 4; do
        printf "\\$(printf %03o $((n % 256)))"
        n=$((n / 256))
    done
}

# collection TITLE COUNT [ENTRY...]: TITLE and each ENTRY are printf formats of their bytes.
collection() {
    title=$1 count=$2
    shift 2
    printf "$title"; printf '\0C\0L\0'
    le32 1; le32 4294967295; le32 1; le32 5; le32 1; le32 "$count"
    for entry in "$@"; do
        le32 "$(printf "$entry" | wc -c)"
        printf "$entry"
    done
}

bmp='BM\106\0\0\0\0\0\0\0\066\0\0\0\050\0\0\0\001\0\0\0\001\0\0\0\001\0\030\0'
jpeg='\377\330\377\340\0\020JFIF\0\001\001\0\0\001\0\001\0\0\377\331'
other='\211PNG\r\n\032\n'
spring='\217\164\202\314\226\173'  # 春の本

collection 'T' 1 "$bmp" >"$out/one-bmp"
collection "$spring" 3 "$jpeg" "$bmp" "$other" >"$out/three-sjis"
collection 'Book' 5 "$jpeg" '' 'B' '\377' "$other" >"$out/five-short"
collection '' 2 "$other" "$jpeg" >"$out/no-title"
collection 'COM' 2 "$bmp" "$jpeg" >"$out/device-title"
collection 'a\\..\\b:c' 1 "$jpeg" >"$out/path-title"
collection "$spring" 0 >"$out/no-entries"
collection 'T' 4294967295 "$jpeg" >"$out/huge-count"
# An entry whose size runs past the end, and copies cut inside the header and inside entries.
{ collection 'T' 2 "$jpeg"; le32 65536; printf "$bmp"; } >"$out/long-size"
for cut in 5 20 40 60 90; do
    head -c "$cut" "$out/three-sjis" >"$out/three-sjis-cut$cut"
done
