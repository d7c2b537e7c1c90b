#!/usr/bin/env python3
"""Draws the program's icon and its two cursors and writes them as .ico and .cur files.

The glyphs are rendered by ImageMagick (`convert`) with the IPAGothic font; this script only
turns the rendered pixels into the Windows icon and cursor formats.

    python3 res/draw_pictures.py [OUTPUT_FOLDER]     (default: the folder of this script)

Cursor 106 shows 次 (next page), cursor 107 shows 掴 (grab); both are 32 x 32 monochrome
with their hot spot at (11, 11). Icon 128 holds a 32 x 32 and a 16 x 16 picture in 24 bits.
"""
import os
import struct
import subprocess
import sys

FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"
HOT_SPOT = (11, 11)


def render_gray(size, glyph, pointsize, offset, background="white", fill="black"):
    """Returns size*size grey levels (0 black .. 255 white) of the glyph drawn at offset."""
    raw = subprocess.run(
        ["convert", "-size", f"{size}x{size}", f"xc:{background}", "-font", FONT,
         "-pointsize", str(pointsize), "-fill", fill, "-gravity", "northwest",
         "-annotate", f"+{offset[0]}+{offset[1]}", glyph, "-depth", "8", "gray:-"],
        check=True, stdout=subprocess.PIPE).stdout
    if len(raw) != size * size:
        raise SystemExit(f"convert gave {len(raw)} bytes for a {size}x{size} picture")
    return list(raw)


def grow(mask, size):
    """The mask widened by one pixel in all eight directions."""
    out = [False] * (size * size)
    for y in range(size):
        for x in range(size):
            if not mask[y * size + x]:
                continue
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    nx, ny = x + dx, y + dy
                    if 0 <= nx < size and 0 <= ny < size:
                        out[ny * size + nx] = True
    return out


def pack_rows(bits, size):
    """1-bit rows, bottom-up, each padded to 4 bytes, most significant bit first."""
    stride = ((size + 31) // 32) * 4
    data = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if bits[y * size + x]:
                row[x // 8] |= 0x80 >> (x % 8)
        data += row
    return bytes(data)


def bitmap_header(size, bit_count, image_bytes):
    # Icon and cursor bitmaps give twice the height: the colour part, then the AND mask.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bit_count, 0, image_bytes, 0, 0, 0, 0)


def cursor_file(glyph):
    size = 32
    gray = render_gray(size, glyph, 22, (0, 0))
    ink = [g < 128 for g in gray]
    halo = grow(ink, size)
    # AND 0 / XOR 0: black ink; AND 0 / XOR 1: white outline; AND 1 / XOR 0: transparent.
    xor_bits = [halo[i] and not ink[i] for i in range(size * size)]
    and_bits = [not halo[i] for i in range(size * size)]
    xor_mask, and_mask = pack_rows(xor_bits, size), pack_rows(and_bits, size)
    palette = struct.pack("<4B4B", 0, 0, 0, 0, 255, 255, 255, 0)
    image = bitmap_header(size, 1, len(xor_mask) + len(and_mask)) + palette + xor_mask + and_mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    return directory + entry + image


def icon_image(size):
    """A green rounded square (an edamame pod's colour) with a white エ."""
    pointsize = size * 3 // 4
    raw = subprocess.run(
        ["convert", "-size", f"{size}x{size}", "xc:none", "-fill", "#3f8f2f", "-stroke", "#1f4f17",
         "-draw", f"roundrectangle 0,0 {size - 1},{size - 1} {size // 5},{size // 5}",
         "-stroke", "none", "-font", FONT, "-pointsize", str(pointsize), "-fill", "white",
         "-gravity", "center", "-annotate", "+0+0", "エ", "-depth", "8", "rgba:-"],
        check=True, stdout=subprocess.PIPE).stdout
    if len(raw) != size * size * 4:
        raise SystemExit(f"convert gave {len(raw)} bytes for a {size}x{size} icon")
    stride = ((size * 3 + 3) // 4) * 4
    colour = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            r, g, b, _ = raw[(y * size + x) * 4:(y * size + x) * 4 + 4]
            row[x * 3:x * 3 + 3] = bytes((b, g, r))
        colour += row
    transparent = [raw[i * 4 + 3] < 128 for i in range(size * size)]
    and_mask = pack_rows(transparent, size)
    return bitmap_header(size, 24, len(colour) + len(and_mask)) + bytes(colour) + and_mask


def icon_file():
    images = [icon_image(32), icon_image(16)]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for image, size in zip(images, (32, 16)):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    files = {"next.cur": cursor_file("次"), "grab.cur": cursor_file("掴"), "edamiru.ico": icon_file()}
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
