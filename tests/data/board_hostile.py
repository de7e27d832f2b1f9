#!/usr/bin/env python3
"""Hostile clients against a running board server: idle half-sent requests,
oversized headers, garbage request lines and a crowd of clients at once;
then checks that well-behaved requests are still answered promptly.
Prints one "FAIL: ..." line per fault. Usage: board_hostile.py URL PATH..."""
import socket
import sys
import threading
import time
import urllib.request

url, paths = sys.argv[1], sys.argv[2:]
host, port = url.split('//')[1].split(':')
port = int(port)
failures = []


def fail(message):
    failures.append(message)


def get(path, timeout=10):
    with urllib.request.urlopen(url + path, timeout=timeout) as r:
        return r.status, r.read()


def raw(data, timeout=5):
    """Sends bytes, returns the status line's code (0 when closed unanswered)."""
    s = socket.create_connection((host, port), timeout=timeout)
    try:
        s.sendall(data)
        reply = s.recv(4096)
        return int(reply.split()[1]) if reply.startswith(b'HTTP/') else 0
    except (ConnectionResetError, socket.timeout, BrokenPipeError):
        return 0
    finally:
        s.close()


# Idle half-sent requests hold connections without blocking anyone else.
idle = []
for i in range(60):
    s = socket.create_connection((host, port), timeout=5)
    s.sendall(b'GET /bbs/?pid=101 HTTP/1.1\r\nHost: x\r\n' if i % 2 else b'GE')
    idle.append(s)
start = time.time()
for path in paths:
    status, _ = get(path)
    if status != 200:
        fail('%s with idle connections open: %d' % (path, status))
if time.time() - start > 5:
    fail('answers took %.1f s while idle connections were open' % (time.time() - start))

# Oversized and malformed requests get a 4xx or are closed, never a crash.
for name, data in [('huge header', b'GET / HTTP/1.1\r\nX: ' + b'a' * 100000 + b'\r\n\r\n'),
                   ('huge request line', b'GET /' + b'a' * 100000 + b' HTTP/1.1\r\n\r\n'),
                   ('garbage', b'\x00\x01\x02 nonsense\r\n\r\n'),
                   ('no host', b'GET / HTTP/1.1\r\n\r\n'),
                   ('body on a GET', b'GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 5000000\r\n\r\n' + b'z' * 60000)]:
    code = raw(data)
    if code and not 400 <= code < 500 and not (name in ('no host', 'body on a GET') and code == 200):
        fail('%s: status %d' % (name, code))

# A crowd: 40 clients with 10 requests each, all answered.
codes = []
def client(k):
    for j in range(10):
        try:
            codes.append(get(paths[(k + j) % len(paths)])[0])
        except Exception as e:  # noqa: BLE001 - any failure counts
            codes.append(str(e))
threads = [threading.Thread(target=client, args=(k,)) for k in range(40)]
for t in threads:
    t.start()
for t in threads:
    t.join()
bad = [c for c in codes if c != 200]
if len(codes) != 400 or bad:
    fail('crowd: %d answers, %d not 200 (%s)' % (len(codes), len(bad), bad[:3]))

# The idle connections are closed by the server's time-out.
time.sleep(3.5)
closed = 0
for s in idle:
    try:
        s.settimeout(1)
        closed += s.recv(1) == b''
    except (ConnectionResetError, socket.timeout):
        closed += 1
    s.close()
if closed < len(idle):
    fail('%d of %d idle connections still open after the time-out' % (len(idle) - closed, len(idle)))
status, _ = get(paths[0])
if status != 200:
    fail('after it all: %d' % status)
for f in failures:
    print('FAIL: ' + f)
sys.exit(1 if failures else 0)
