#!/usr/bin/env python3
"""Pictures for the screen-fitting tests, written into the folder given:
large.jpg, 4000 x 3000 (fine 2 x 2 checks on the left half, which alias under a nearest-pixel
reduction, colour ramps on the right), made with cjpeg from a PPM; and the 24-bit BMP files
narrow-33x17.bmp and narrow-36x28.bmp, colour ramps narrower than the menu bar."""
import os
import struct
import subprocess
import sys


def large_ppm(path, width=4000, height=3000):
    half = width // 2
    ramp = bytes((x * 255) // (width - half - 1) for x in range(width - half))
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        for y in range(height):
            row = bytearray(width * 3)
            dark, light = 40 + (y * 60) // height, 215 - (y * 60) // height
            phase = (y // 2) % 2
            checks = bytes((light if ((x // 2) + phase) % 2 else dark) for x in range(0, 4)) * (half // 4)
            for channel in range(3):
                row[channel:half * 3:3] = checks
            row[half * 3::3] = ramp
            row[half * 3 + 1::3] = bytes([(y * 255) // (height - 1)]) * (width - half)
            row[half * 3 + 2::3] = ramp[::-1]
            f.write(row)


def bmp24(path, width, height):
    pitch = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in range(height - 1, -1, -1):  # bottom row first
        row = bytearray()
        for x in range(width):
            row += bytes(((x * 255) // max(width - 1, 1), (y * 255) // max(height - 1, 1), 128))
        pixels += row + bytes(pitch - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def main():
    folder = sys.argv[1]
    ppm = os.path.join(folder, "large.ppm")
    large_ppm(ppm)
    subprocess.run(["cjpeg", "-quality", "90", "-outfile", os.path.join(folder, "large.jpg"), ppm], check=True)
    os.remove(ppm)
    bmp24(os.path.join(folder, "narrow-33x17.bmp"), 33, 17)
    bmp24(os.path.join(folder, "narrow-36x28.bmp"), 36, 28)


if __name__ == "__main__":
    main()
