#!/usr/bin/env python3
"""Draws the 160 x 205 cartridge template of PNG cartridges.

The label (128 x 128) goes at (16, 24), the two title lines at (18, 167)
and (18, 175) in a near-white, the caption at (18, 187) in grey, so the
body is dark and the label sits in a recessed window.

Run: python3 make_template.py cart_template.png
"""
import struct
import sys
import zlib

W, H = 160, 205
CLEAR = (0, 0, 0, 0)
BODY = (44, 46, 58, 255)
BODY_LIGHT = (72, 76, 94, 255)
BODY_DARK = (26, 27, 35, 255)
RECESS = (14, 14, 18, 255)
GROOVE = (34, 35, 45, 255)
ACCENT = (232, 84, 60, 255)


def inside_body(x, y):
    if not (2 <= x < 158 and 2 <= y < 203):
        return False
    # Clipped corners, and the bevelled notch at the top right.
    for cx, cy in ((2, 2), (157, 202), (2, 202)):
        if abs(x - cx) + abs(y - cy) < 4:
            return False
    if (x - 138) > (y - 2):
        return False
    return True


def draw():
    px = [[CLEAR] * W for _ in range(H)]
    for y in range(H):
        for x in range(W):
            if inside_body(x, y):
                px[y][x] = BODY
    # Rim: light on the top and left edges, dark on the bottom and right.
    for y in range(H):
        for x in range(W):
            if px[y][x] == CLEAR:
                continue
            up = y == 0 or px[y - 1][x] == CLEAR
            left = x == 0 or px[y][x - 1] == CLEAR
            down = y == H - 1 or px[y + 1][x] == CLEAR
            right = x == W - 1 or px[y][x + 1] == CLEAR
            if up or left:
                px[y][x] = BODY_LIGHT
            elif down or right:
                px[y][x] = BODY_DARK
    # Grip grooves along the top.
    for y in (7, 10, 13):
        for x in range(22, 128):
            px[y][x] = GROOVE
    # Label window: recess with a bevel around (16, 24) .. (143, 151).
    for y in range(21, 155):
        for x in range(13, 147):
            px[y][x] = RECESS
    for x in range(12, 148):
        px[20][x] = BODY_DARK
        px[155][x] = BODY_LIGHT
    for y in range(20, 156):
        px[y][12] = BODY_DARK
        px[y][147] = BODY_LIGHT
    # Title plate under the label, and an accent stripe beside the caption.
    for y in range(163, 195):
        for x in range(14, 146):
            px[y][x] = BODY_DARK if y in (163, 194) or x in (14, 145) else RECESS
    for y in range(186, 193):
        for x in range(134, 142):
            px[y][x] = ACCENT
    # Ridges at the bottom edge.
    for y in (198, 200):
        for x in range(40, 120, 4):
            px[y][x] = px[y][x + 1] = GROOVE
    return px


def png(px):
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in px)
    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "cart_template.png"
    with open(out, "wb") as f:
        f.write(png(draw()))
