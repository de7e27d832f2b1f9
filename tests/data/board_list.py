#!/usr/bin/env python3
"""Reads a board list page on its own terms: a 1024 x 544 PNG of 8 x 4 cells
of 128 x 136, each a 128 x 128 label over text rows 128-132 with one
character per pixel in the green channel. Prints one line per useful entry,
"ROW128|title|author|id|second id", up to the first whose first number is 0.
With a palette file, also fails unless every label pixel of those entries
is a palette colour and every cell after them is black.
Usage: board_list.py page.png [palette.txt]"""
import sys

from sweep_png import read_png


def text(rows, x0, y):
    chars = [rows[y][x0 + i][1] for i in range(128)]
    return bytes(chars).split(b'\0')[0].decode('latin-1')


def main():
    rows = read_png(sys.argv[1])
    if len(rows) != 544 or len(rows[0]) != 1024:
        sys.exit('wrong size %dx%d' % (len(rows[0]), len(rows)))
    palette = None
    if len(sys.argv) > 2:
        palette = {tuple(int(v) for v in l.split('#')[0].split()[:3])
                   for l in open(sys.argv[2]) if l.split('#')[0].strip()}
    ended = False
    for e in range(32):
        x0, y0 = (e % 8) * 128, (e // 8) * 136
        head = text(rows, x0, y0 + 128)
        first = head.split(' ')[0]
        ended = ended or not first.isdigit() or int(first) == 0
        cell = [rows[y][x0 + x] for y in range(y0, y0 + 136) for x in range(128)]
        if ended:
            if palette is not None and any(p != (0, 0, 0) for p in cell):
                sys.exit('cell %d after the end is not black' % e)
            continue
        if palette is not None and any(p not in palette for p in cell[:128 * 128]):
            sys.exit('label %d has colours outside the palette' % e)
        print('|'.join([head] + [text(rows, x0, y0 + r) for r in (129, 130, 131, 132)]))


main()
