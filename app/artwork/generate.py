#!/usr/bin/env python3
"""Regenerates the program's artwork from the drawings in src/.

Needs rsvg-convert (Debian: librsvg2-bin) and the DejaVu fonts. Writes, next to this script:
  tavelin.ico                 program icon, 48/32/16 pixels, 32-bit with alpha
  tavelin-16/32/48.png        the same images as PNG files (for the desktop's icon theme)
  logo.bmp                    main window logo, 254 x 80, 24-bit; see-through parts exactly white
  banded.bmp                  notification and about background, 244 x 99, 24-bit
  editor.bmp                  settings editor background, 455 x 312, 24-bit
  logo/banded/editor.rle      the same three pictures run-coded, as the program carries them
                              (toolkit/ImageCodecs.h describes the form)
Run with --pack to write only the .rle files from the .bmp files.
"""
import os
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = os.path.join(HERE, "src")


def render(svg, width, height):
    """The drawing as rows of (r, g, b, a) tuples, straight (not premultiplied) alpha."""
    png = subprocess.run(
        ["rsvg-convert", "-w", str(width), "-h", str(height), os.path.join(SRC, svg)],
        check=True, capture_output=True).stdout
    return decode_png(png)


def decode_png(data):
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour in (2, 6) and interlace == 0, "expects 8-bit RGB or RGBA"
            bpp = 4 if colour == 6 else 3
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride, rows, prev = width * bpp, [], bytearray(width * bpp)
    for y in range(height):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 255
        rows.append([tuple(line[x * bpp:x * bpp + 3]) + ((line[x * 4 + 3],) if bpp == 4 else (255,))
                     for x in range(width)])
        prev = line
    return rows


def write_png(path, rows):
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def opaque_rows(rows, keyed):
    """24-bit pixels on white. With `keyed`, faint edge pixels become the white key and nothing
    meant to show stays exactly white."""
    out = []
    for row in rows:
        line = []
        for r, g, b, a in row:
            if keyed and a < 96:
                line.append((255, 255, 255))
                continue
            mix = lambda c: (c * a + 255 * (255 - a) + 127) // 255
            px = (mix(r), mix(g), mix(b))
            if keyed and px == (255, 255, 255):
                px = (254, 254, 254)
            line.append(px)
        out.append(line)
    return out


def bmp24(rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = b"".join(bytes(v for r, g, b in row for v in (b, g, r)) + b"\0" * (stride - width * 3)
                      for row in reversed(rows))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 54) + header + pixels


def bmp24_rows(data):
    """The rows (top first) of (r, g, b) of a bottom-up 24-bit bitmap as bmp24 writes them."""
    offset, = struct.unpack("<I", data[10:14])
    width, height, _, bits, compression = struct.unpack("<iiHHI", data[18:34])
    assert bits == 24 and compression == 0 and height > 0, "expects a bottom-up 24-bit bitmap"
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        line = data[offset + y * stride:offset + y * stride + width * 3]
        rows.append([(line[3 * x + 2], line[3 * x + 1], line[3 * x]) for x in range(width)])
    return rows[::-1]


def run_coded(rows):
    """The picture as codes: up to 64 literal pixels (00nnnnnn), the previous pixel repeated up to
    64 times (01nnnnnn), or up to 128 pixels copied from the row above (1nnnnnnn)."""
    height, width = len(rows), len(rows[0])
    pixels = [p for row in rows for p in row]
    out, literal, i = bytearray(b"TRLE" + struct.pack("<HH", width, height)), [], 0

    def flush():
        while literal:
            count = min(len(literal), 64)
            out.append(count - 1)
            for r, g, b in literal[:count]:
                out.extend((b, g, r))
            del literal[:count]

    while i < len(pixels):
        up = 0
        while i >= width and i + up < len(pixels) and up < 128 and pixels[i + up] == pixels[i + up - width]:
            up += 1
        same = 0
        while i > 0 and i + same < len(pixels) and same < 64 and pixels[i + same] == pixels[i - 1]:
            same += 1
        if up >= 2 and up >= same:
            flush()
            out.append(0x80 | (up - 1))
            i += up
        elif same >= 2:
            flush()
            out.append(0x40 | (same - 1))
            i += same
        else:
            literal.append(pixels[i])
            i += 1
    flush()
    return bytes(out)


def pack(name):
    with open(os.path.join(HERE, name + ".bmp"), "rb") as f:
        save(name + ".rle", run_coded(bmp24_rows(f.read())))


def ico_image(rows):
    """One icon image: a 32-bit DIB (BGRA, bottom-up, double height) and its AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(v for r, g, b, a in row for v in (b, g, r, a)) for row in reversed(rows))
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + pixels + mask


def ico(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    bodies = []
    for rows in images:
        body = ico_image(rows)
        size = len(rows)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(body), offset)
        offset += len(body)
        bodies.append(body)
    return out + b"".join(bodies)


def save(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)
    print(os.path.join(HERE, name))


def main():
    icons = [render("mark.svg", 48, 48), render("mark.svg", 32, 32), render("mark16.svg", 16, 16)]
    for rows in icons:
        write_png(os.path.join(HERE, "tavelin-%d.png" % len(rows)), rows)
        print(os.path.join(HERE, "tavelin-%d.png" % len(rows)))
    save("tavelin.ico", ico(icons))
    save("logo.bmp", bmp24(opaque_rows(render("logo.svg", 254, 80), keyed=True)))
    save("banded.bmp", bmp24(opaque_rows(render("banded.svg", 244, 99), keyed=False)))
    save("editor.bmp", bmp24(opaque_rows(render("editor.svg", 455, 312), keyed=False)))
    for name in ("logo", "banded", "editor"):
        pack(name)
    return 0


if __name__ == "__main__":
    if sys.argv[1:] == ["--pack"]:
        for name in ("logo", "banded", "editor"):
            pack(name)
        sys.exit(0)
    sys.exit(main())
