#!/usr/bin/env python3
"""Plots frame time over the timeline from kv17-bench-frames' CSV as a PNG.

    scripts/plot-frame-times.py frames.csv docs/frame-times.png

Standard library only: the PNG is written by hand (zlib + struct).
"""
import csv
import struct
import sys
import zlib

WIDTH, HEIGHT, MARGIN = 800, 300, 30
COLOURS = {"cube": (70, 130, 220), "flash": (240, 170, 20), "pyramids": (40, 170, 90)}
GRID, AXIS, BACKGROUND = (225, 225, 225), (60, 60, 60), (255, 255, 255)

# 3x5 digits for the axis labels.
DIGITS = {
    "0": "111101101101111", "1": "010110010010111", "2": "111001111100111",
    "3": "111001111001111", "4": "101101111001001", "5": "111100111001111",
    "6": "111100111101111", "7": "111001001001001", "8": "111101111101111",
    "9": "111101111001111", ".": "000000000000010",
}


def read(path):
    with open(path, newline="") as stream:
        return [(int(r["frame"]), r["phase"], float(r["ms"])) for r in csv.DictReader(stream)]


def png(pixels):
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def text(pixels, x, y, label):
    for char in label:
        for i, bit in enumerate(DIGITS.get(char, "")):
            if bit == "1":
                for dy in range(2):
                    for dx in range(2):
                        pixels[y + (i // 3) * 2 + dy][x + (i % 3) * 2 + dx] = AXIS
        x += 8


def main(source, target):
    samples = read(source)
    top = sorted(ms for _, _, ms in samples)[int(len(samples) * 0.99)] * 1.2
    last = samples[-1][0]
    pixels = [[BACKGROUND] * WIDTH for _ in range(HEIGHT)]
    plot_w, plot_h = WIDTH - 2 * MARGIN, HEIGHT - 2 * MARGIN
    step = 1 if top < 10 else 5
    value = step
    while value < top:  # a grid line per millisecond (or five)
        y = HEIGHT - MARGIN - int(value / top * plot_h)
        for x in range(MARGIN, WIDTH - MARGIN):
            pixels[y][x] = GRID
        text(pixels, 2, y - 5, str(value))
        value += step
    for x in range(MARGIN, WIDTH - MARGIN):
        pixels[HEIGHT - MARGIN][x] = AXIS
    for y in range(MARGIN, HEIGHT - MARGIN + 1):
        pixels[y][MARGIN] = AXIS
    for frame, phase, ms in samples:
        x = MARGIN + int((frame - 1) / max(1, last - 1) * (plot_w - 1))
        y = HEIGHT - MARGIN - min(plot_h, int(ms / top * plot_h))
        for dy in (0, 1):
            if MARGIN <= y - dy < HEIGHT - MARGIN:
                pixels[y - dy][x] = COLOURS.get(phase, AXIS)
    text(pixels, MARGIN, HEIGHT - MARGIN + 8, "1")
    text(pixels, WIDTH - MARGIN - 40, HEIGHT - MARGIN + 8, str(last))
    with open(target, "wb") as stream:
        stream.write(png(pixels))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
