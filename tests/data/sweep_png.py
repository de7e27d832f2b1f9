#!/usr/bin/env python3
"""Prints a 128 x 128 screen dump as palette indices: 128 lines of 128
two-digit hex values (first palette entry with the pixel's colour).
Usage: sweep_png.py dump.png palette.txt"""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
    pos, idat, w, h, ctype, depth, plte = 8, b'', 0, 0, 0, 8, b''
    while pos < len(data):
        n, tag = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if tag == b'IHDR':
            w, h, depth, ctype = struct.unpack('>IIBB', body[:10])
            assert (depth == 8 and ctype in (2, 6)) or ctype == 3, 'unsupported PNG'
        elif tag == b'PLTE':
            plte = body
        elif tag == b'IDAT':
            idat += body
        pos += 12 + n
    bpp = {2: 3, 6: 4, 3: 1}[ctype]
    raw = zlib.decompress(idat)
    stride = (w * depth + 7) // 8 if ctype == 3 else w * bpp
    rows, prev, i = [], bytearray(stride), 0
    for _ in range(h):
        f = raw[i]
        line = bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if f == 1:
                line[x] = (line[x] + a) & 255
            elif f == 2:
                line[x] = (line[x] + b) & 255
            elif f == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pr = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[x] = (line[x] + pr) & 255
        if ctype == 3:
            per = 8 // depth
            idx = [(line[x // per] >> (8 - depth * (x % per + 1))) & ((1 << depth) - 1)
                   for x in range(w)]
            rows.append([tuple(plte[3 * k:3 * k + 3]) for k in idx])
        else:
            rows.append([tuple(line[x * bpp:x * bpp + 3]) for x in range(w)])
        prev = line
    return rows


def main():
    rows = read_png(sys.argv[1])
    pal = {}
    for k, l in enumerate(open(sys.argv[2])):
        rgb = tuple(int(v) for v in l.split()[:3])
        pal.setdefault(rgb, k)
    for r in rows:
        print(' '.join('%02x' % pal.get(p, 255) for p in r))


if __name__ == '__main__':
    main()
