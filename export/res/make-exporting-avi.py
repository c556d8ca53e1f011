#!/usr/bin/env python3
"""Writes exporting.avi, the animation of the progress dialog: a sheet of
paper travelling from the data store (left) to the CSV file (right).
Uncompressed 8-bit frames with a 16-colour palette, the form the common
animation control plays without a codec.

    python3 make-exporting-avi.py [out.avi]
"""
import struct
import sys

WIDTH, HEIGHT, FRAMES = 96, 40, 12
BG, BORDER, STORE, STORE_DARK, PAPER, LINE, FILE, FILE_FOLD = range(8)
PALETTE = [
    (0xF0, 0xF0, 0xF0),  # background, the dialog's face
    (0x40, 0x40, 0x40),  # outlines
    (0x4A, 0x8A, 0xD0),  # the store
    (0x2A, 0x5A, 0x9A),  # its bands
    (0xFF, 0xFF, 0xFF),  # the sheet
    (0x70, 0x70, 0x70),  # the sheet's lines of text
    (0x3C, 0xA0, 0x50),  # the CSV file
    (0x2A, 0x70, 0x38),  # its folded corner
] + [(0, 0, 0)] * 8


def rect(pixels, x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(HEIGHT, y1)):
        for x in range(max(0, x0), min(WIDTH, x1)):
            pixels[y][x] = colour


def outlined(pixels, x0, y0, x1, y1, colour):
    rect(pixels, x0, y0, x1, y1, BORDER)
    rect(pixels, x0 + 1, y0 + 1, x1 - 1, y1 - 1, colour)


def frame(n):
    pixels = [[BG] * WIDTH for _ in range(HEIGHT)]
    # The store: a cylinder drawn as a box with two bands.
    outlined(pixels, 4, 8, 24, 34, STORE)
    rect(pixels, 5, 15, 23, 17, STORE_DARK)
    rect(pixels, 5, 24, 23, 26, STORE_DARK)
    # The CSV file with its folded corner and three columns of cells.
    outlined(pixels, 72, 6, 92, 34, FILE)
    rect(pixels, 86, 6, 92, 12, BG)
    outlined(pixels, 86, 6, 92, 12, FILE_FOLD)
    for row in range(3):
        for col in range(3):
            rect(pixels, 75 + col * 5, 15 + row * 6, 79 + col * 5, 18 + row * 6, PAPER)
    # The sheet on its way, rising and falling a little.
    x = 26 + (n * 36) // (FRAMES - 1)
    y = 10 + abs(n - FRAMES // 2) // 2
    outlined(pixels, x, y, x + 12, y + 16, PAPER)
    for line in range(3):
        rect(pixels, x + 2, y + 3 + line * 4, x + 10, y + 4 + line * 4, LINE)
    return pixels


def frame_bytes(pixels):
    stride = (WIDTH + 3) & ~3
    data = bytearray()
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up rows
        row = bytes(pixels[y]) + b"\0" * (stride - WIDTH)
        data += row
    return bytes(data)


def chunk(fourcc, data):
    pad = b"\0" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def riff_list(kind, fourcc, body):
    return kind + struct.pack("<I", len(body) + 4) + fourcc + body


def build():
    frames = [frame_bytes(frame(n)) for n in range(FRAMES)]
    size = len(frames[0])
    usec = 80000
    avih = struct.pack("<14I", usec, size * 1000000 // usec, 0, 0x10, FRAMES, 0, 1, size,
                       WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = b"vids" + b"DIB " + struct.pack("<IHHIIIIIIII", 0, 0, 0, 0, 1, 1000000 // usec, 0,
                                           FRAMES, size, 0xFFFFFFFF, 0)
    strh += struct.pack("<4h", 0, 0, WIDTH, HEIGHT)
    strf = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, size, 0, 0, 16, 16)
    strf += b"".join(struct.pack("<4B", b, g, r, 0) for (r, g, b) in PALETTE)
    hdrl = riff_list(b"LIST", b"hdrl",
                     chunk(b"avih", avih) + riff_list(b"LIST", b"strl",
                                                       chunk(b"strh", strh) + chunk(b"strf", strf)))
    movi_body = b""
    index = b""
    for data in frames:
        offset = 4 + len(movi_body)  # from the "movi" code, as the index counts
        movi_body += chunk(b"00db", data)
        index += b"00db" + struct.pack("<III", 0x10, offset, len(data))
    movi = riff_list(b"LIST", b"movi", movi_body)
    return riff_list(b"RIFF", b"AVI ", hdrl + movi + chunk(b"idx1", index))


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "exporting.avi"
    with open(out, "wb") as f:
        f.write(build())
