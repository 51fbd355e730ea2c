#!/usr/bin/env python3
# Writes the PNG files ImageMagick will not make (a 1-bit palette, palettes
# and grey and RGB pictures with a tRNS chunk), byte by byte, so the decoder
# is also checked against an encoder other than the codec libraries.
import struct, zlib

W, H = 37, 23

def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)

def png(name, depth, colour, rows, extra=b'', interlace=0):
    raw = b''.join(b'\0' + r for r in rows)
    data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', W, H, depth, colour, 0, 0, interlace))
    data += extra + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    open(name, 'wb').write(data)

def packed(values, depth):
    bits = ''.join(format(v, '0%db' % depth) for v in values)
    bits += '0' * (-len(bits) % 8)
    return bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))

# 1-bit palette: a checker of two colours.
png('p1.png', 1, 3, [packed([(x // 3 + y // 3) % 2 for x in range(W)], 1) for y in range(H)],
    chunk(b'PLTE', bytes([200, 30, 40, 10, 90, 250])))
# 2-bit palette with partial transparency for three of four entries.
png('p2-trns.png', 2, 3, [packed([(x + y) % 4 for x in range(W)], 2) for y in range(H)],
    chunk(b'PLTE', bytes([255, 0, 0, 0, 255, 0, 0, 0, 255, 20, 20, 20])) + chunk(b'tRNS', bytes([0, 128, 200])))
# 8-bit grey whose value 100 is transparent.
png('g8-trns.png', 8, 0, [bytes([(100 if (x + y) % 5 == 0 else (x * 7 + y * 3) % 256) for x in range(W)]) for y in range(H)],
    chunk(b'tRNS', struct.pack('>H', 100)))
# 16-bit RGB whose colour (1000, 2000, 3000) is transparent.
def rgb16(x, y):
    if (x * y) % 7 == 3:
        return struct.pack('>HHH', 1000, 2000, 3000)
    return struct.pack('>HHH', (x * 1771 + y * 13) % 65536, (y * 2851) % 65536, (x * y * 97) % 65536)
png('rgb16-trns.png', 16, 2, [b''.join(rgb16(x, y) for x in range(W)) for y in range(H)],
    chunk(b'tRNS', struct.pack('>HHH', 1000, 2000, 3000)))
