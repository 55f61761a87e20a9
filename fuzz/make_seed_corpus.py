#!/usr/bin/env python3
"""Writes small bitmaps of every form the decoder reads into DIR, as the
fuzzer's starting corpus: each bit count, both header forms, with and
without the file header, run-length streams with every escape, top-down
rows, a bfOffBits gap and an oversized colours-used value."""
import os
import struct
import sys


def dib(width, height, bits, compression=0, colors_used=0, core=False, table=0, pixels=b"",
        gap=0, file_header=True):
    if core:
        header = struct.pack("<IHHHH", 12, width & 0xFFFF, height & 0xFFFF, 1, bits)
        entry = lambda i: bytes([i, i ^ 0x80, 255 - i])
    else:
        header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, 0, 2835,
                             2835, colors_used, 0)
        entry = lambda i: bytes([i, i ^ 0x80, 255 - i, 0])
    body = header + b"".join(entry(i % 256) for i in range(table)) + b"\xee" * gap
    if not file_header:
        return body + pixels
    off_bits = 14 + len(body)
    return b"BM" + struct.pack("<IHHI", off_bits + len(pixels), 0, 0, off_bits) + body + pixels


def rows(width, height, bits):
    stride = (bits * width + 31) // 32 * 4
    return bytes((x * 37 + y * 11) & 0xFF for y in range(height) for x in range(stride))


def seeds():
    for bits, table in ((1, 2), (4, 16), (8, 256), (16, 0), (24, 0), (32, 0)):
        for core in (False, True):
            for file_header in (True, False):
                name = f"{bits}bit-{'core' if core else 'info'}-{'file' if file_header else 'bare'}"
                yield name, dib(5, 3, bits, core=core, table=table, pixels=rows(5, 3, bits),
                                file_header=file_header)
    yield "24bit-top-down", dib(3, -2, 24, pixels=rows(3, 2, 24))
    yield "8bit-gap", dib(3, 2, 8, table=256, gap=9, pixels=rows(3, 2, 8))
    yield "8bit-used-16", dib(4, 2, 8, colors_used=16, table=16, pixels=rows(4, 2, 8))
    yield "8bit-used-300", dib(4, 2, 8, colors_used=300, table=300, pixels=rows(4, 2, 8),
                               file_header=False)
    # Runs, end of line, absolute runs (odd: padded), delta, end of bitmap.
    rle8 = bytes([3, 5, 0, 0, 0, 3, 1, 2, 3, 0, 1, 7, 0, 0, 0, 2, 2, 0, 2, 9, 0, 1])
    yield "rle8", dib(4, 3, 8, compression=1, table=256, pixels=rle8)
    rle4 = bytes([5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 2, 1, 1, 2, 0x6F, 0, 1])
    yield "rle4", dib(5, 3, 4, compression=2, table=16, pixels=rle4)
    yield "rle8-bare", dib(4, 3, 8, compression=1, colors_used=8, table=8, pixels=rle8,
                           file_header=False)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_seed_corpus.py DIR")
    os.makedirs(sys.argv[1], exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(sys.argv[1], name + ".bmp"), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
