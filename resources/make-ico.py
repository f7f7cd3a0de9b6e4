#!/usr/bin/env python3
"""Packs the rendered PNGs into tallyclock.ico for Windows: 32x32 at 24 bits,
48x48 and 128x128 at 32 bits (uncompressed DIBs with their AND masks), and
256x256 at 32 bits stored as PNG, as Windows expects for that size."""
import struct
import sys
import zlib
from pathlib import Path


def read_png(path: Path):
    data = path.read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour == 6 and interlace == 0, "8-bit RGBA expected"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 4
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 4] if i >= 4 else 0
            up = previous[i]
            corner = previous[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + pred) & 0xFF
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def dib(width, height, rows, bits):
    pixels, mask = bytearray(), bytearray()
    mask_stride = ((width + 31) // 32) * 4
    for row in reversed(rows):
        line, mask_bits = bytearray(), bytearray(mask_stride)
        for x in range(width):
            r, g, b, a = row[x * 4:x * 4 + 4]
            if bits == 24:
                # No alpha at 24 bits: blend onto white and let the mask cut the rest.
                line += bytes((b * a // 255 + 255 - a, g * a // 255 + 255 - a,
                               r * a // 255 + 255 - a))
            else:
                line += bytes((b, g, r, a))
            if a < 128:
                mask_bits[x // 8] |= 0x80 >> (x % 8)
        line += bytes((-len(line)) % 4)
        pixels += line
        mask += mask_bits
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def main(folder: Path):
    images = []
    for size, bits in ((32, 24), (48, 32), (128, 32), (256, 32)):
        png = folder / f"tallyclock-{size}.png"
        if size == 256:
            images.append((size, bits, png.read_bytes()))
        else:
            w, h, rows = read_png(png)
            images.append((size, bits, dib(w, h, rows, bits)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, blob in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    for _, _, blob in images:
        out += blob
    (folder / "tallyclock.ico").write_bytes(out)


if __name__ == "__main__":
    main(Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("icons"))
