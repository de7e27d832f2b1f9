#!/usr/bin/env python3
"""A small board for the browser's tests, on a free loopback port: logs every
request path to LOG and answers by the list's sub or the cart's id, good
and hostile alike. Prints "port N" once listening; stops after 120 s.
Usage: splore_board.py LOG CART.zk.png

Lists (by sub): 2 a full page of 32 (ids from row entries below), and at
start_index 32 a page of 2; 3 a page of the wrong size; 4 a truncated PNG;
8 text, not a PNG; orderby=rating a redirect loop; search the page of 2.
Carts (by id): silent* never answer, endless* send without end, drip* send
slowly, notcart* get a PNG that is no cart, future* a cart of a later
version; any other id gets CART."""
import http.server
import struct
import sys
import threading
import time
import zlib
from urllib.parse import urlsplit, parse_qs

LOG, CART = sys.argv[1], open(sys.argv[2], 'rb').read()


def png(w, h, rows, rgba=None):
    """An RGB PNG; rows maps y -> {x: green value} for text pixels. With
    rgba (x, y, bytes), an RGBA PNG, transparent black but that pixel."""
    raw, bpp = bytearray(), 4 if rgba else 3
    for y in range(h):
        line = bytearray(bpp * w)
        for x, g in rows.get(y, {}).items():
            line[bpp * x + 1] = g
        if rgba and rgba[1] == y:
            line[4 * rgba[0]:4 * rgba[0] + 4] = rgba[2]
        raw += b'\0' + line

    def chunk(tag, data):
        body = tag + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6 if rgba else 2, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(bytes(raw))) + chunk(b'IEND', b''))


def page(entries):
    """entries: (row128, title, author, id, mid) texts per cell."""
    rows = {}
    for e, texts in enumerate(entries):
        x0, y0 = (e % 8) * 128, (e // 8) * 136
        for r, t in enumerate(texts):
            row = rows.setdefault(y0 + 128 + r, {})
            for i, c in enumerate(t.encode('latin-1')[:128]):
                row[x0 + i] = c
    return png(1024, 544, rows)


HOSTILE = [('2 2 0', 'silent', 'x', 'silent1', ''),
           ('3 3 0', 'endless', 'x', 'endless1', ''),
           ('4 4 0', 'drip', 'x', 'drip1', ''),
           ('7 7 1', 'Bad|Title\x01x', 'Ev!l GUY', 'a;rm -rf x', ''),
           ('8 8 1', 'dots', 'x', '../../etc', ''),
           ('9 9 1', 'upper', 'x', 'AB', ''),
           ('12345 12345 3', 'numbered', 'someone', '', ''),
           ('1 1 2', 'named', 'someone', 'ab_cd', 'ab_cd'),
           ('5 5 0', 'not a cart', 'x', 'notcart1', ''),
           ('6 6 0', 'future', 'x', 'future1', '')]
FULL = page(HOSTILE + [('%d %d 0' % (100 + i, 100 + i), 'filler %d' % i, 'f', '', '')
                       for i in range(32 - len(HOSTILE))])
TWO = page([('200 200 0', 'more one', 'm', '', ''), ('201 201 0', 'more two', 'm', '', '')])
WRONG = png(100, 100, {})
# A 160 x 205 cart picture whose version byte (payload byte 0x8000, pixel
# 32768, two bits in each channel) reads 255.
FUTURE = png(160, 205, {}, (32768 % 160, 32768 // 160, b'\3\3\3\3'))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'

    def log_message(self, *args):
        pass

    def send(self, body, ctype='image/png', status=200, headers=()):
        self.send_response(status)
        self.send_header('Content-Type', ctype)
        self.send_header('Content-Length', str(len(body)))
        for k, v in headers:
            self.send_header(k, v)
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        with open(LOG, 'a') as f:
            f.write(self.path + '\n')
        url = urlsplit(self.path)
        q = {k: v[0] for k, v in parse_qs(url.query, keep_blank_values=True).items()}
        if url.path == '/bbs/cpost_lister3.php':
            if q.get('orderby') == 'rating':
                return self.send(b'', 'text/plain', 302, [('Location', self.path)])
            if 'search' in q:
                return self.send(TWO)
            sub = q.get('sub')
            if sub == '2':
                return self.send(TWO if q.get('start_index') == '32' else FULL)
            if sub == '3':
                return self.send(WRONG)
            if sub == '4':
                return self.send(FULL[:len(FULL) // 2] + b'\0' * 16)
            return self.send(b'<html>not a page</html>', 'text/html')
        name = url.path.rsplit('/', 1)[-1]
        if name.startswith('silent'):
            time.sleep(60)
            return
        if name.startswith('endless') or name.startswith('drip'):
            self.send_response(200)
            self.send_header('Content-Type', 'image/png')
            self.end_headers()
            try:
                self.wfile.write(CART[:64])
                for _ in range(100000 if name.startswith('endless') else 600):
                    self.wfile.write(b'\0' * (65536 if name.startswith('endless') else 16))
                    if name.startswith('drip'):
                        time.sleep(0.1)
            except OSError:
                with open(LOG, 'a') as f:
                    f.write('client gone: %s\n' % name)
            return
        if name.startswith('notcart'):
            return self.send(WRONG)
        if name.startswith('future'):
            return self.send(FUTURE)
        return self.send(CART)


server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
server.daemon_threads = True
print('port %d' % server.server_address[1], flush=True)
threading.Timer(120, server.shutdown).start()
server.serve_forever()
