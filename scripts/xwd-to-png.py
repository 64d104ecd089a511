#!/usr/bin/env python3
"""Writes a rectangle of an X window dump (XWD, such as the screen file Xvfb keeps with -fbdir) as
a PNG, so that a picture of the window needs no image toolkit on the machine.

    xwd-to-png.py DUMP X Y WIDTH HEIGHT OUTPUT.png

Reads the 24- and 32-bit true-colour dumps an X server of our own writes; anything else is refused
with a message rather than written wrongly.
"""
import struct
import sys
import zlib


def read_dump(path):
    data = open(path, "rb").read()
    fields = struct.unpack(">25I", data[:100])
    (header_size, version, _format, depth, width, height, _xoffset, byte_order, _unit, _bit_order,
     _pad, bits_per_pixel, bytes_per_line, visual_class, red_mask, green_mask, blue_mask,
     _bits_per_rgb, _entries, colours) = fields[:20]
    if version != 7 or bits_per_pixel != 32 or depth not in (24, 32) or visual_class != 4:
        sys.exit(f"xwd-to-png: {path}: not a 32-bit true-colour dump (version {version}, "
                 f"depth {depth}, {bits_per_pixel} bits a pixel, visual class {visual_class})")
    if (red_mask, green_mask, blue_mask) != (0xFF0000, 0xFF00, 0xFF):
        sys.exit(f"xwd-to-png: {path}: colour masks {red_mask:x} {green_mask:x} {blue_mask:x}")
    start = header_size + colours * 12
    return data[start:], width, height, bytes_per_line, byte_order


def crop_rows(pixels, bytes_per_line, byte_order, x, y, width, height):
    # One pixel is four bytes; least significant first, the blue byte comes first.
    order = (2, 1, 0) if byte_order == 0 else (1, 2, 3)
    for row in range(y, y + height):
        line = pixels[row * bytes_per_line + 4 * x:row * bytes_per_line + 4 * (x + width)]
        rgb = bytearray(3 * width)
        for channel, source in enumerate(order):
            rgb[channel::3] = line[source::4]
        yield bytes(rgb)


def png(rows, width, height):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + row for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main(argv):
    if len(argv) != 7:
        sys.exit("usage: xwd-to-png.py DUMP X Y WIDTH HEIGHT OUTPUT.png")
    path, output = argv[1], argv[6]
    x, y, width, height = (int(value) for value in argv[2:6])
    pixels, screen_width, screen_height, bytes_per_line, byte_order = read_dump(path)
    if x < 0 or y < 0 or width <= 0 or height <= 0 or x + width > screen_width or \
            y + height > screen_height:
        sys.exit(f"xwd-to-png: {width}x{height}+{x}+{y} is not inside the "
                 f"{screen_width}x{screen_height} screen")
    rows = crop_rows(pixels, bytes_per_line, byte_order, x, y, width, height)
    with open(output, "wb") as out:
        out.write(png(rows, width, height))


if __name__ == "__main__":
    main(sys.argv)
