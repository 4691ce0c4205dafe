#!/usr/bin/env python3
"""Turns the text sources of the control's pictures into resource files.

  make_resource.py cursor <name.cursor.txt> <out.cur>
      32 x 32 monochrome cursor; '#' black, 'o' white, '.' transparent,
      '~' inverted screen; a line "hotspot X Y" gives the hotspot.
  make_resource.py bitmap <name.bitmap.txt> <out.bmp>
      4-bit bitmap; one hexadecimal digit per pixel indexing the standard
      16-colour palette (line "palette vga16").

Lines starting with '#' followed by a blank are comments. Rows are written
top to bottom; the files store them bottom-up, as Windows bitmaps do.
"""
import struct
import sys

VGA16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# Cursor pixels as (AND mask bit, XOR mask bit).
CURSOR_PIXELS = {'#': (0, 0), 'o': (0, 1), '.': (1, 0), '~': (1, 1)}


def fail(message):
    sys.exit("make_resource: " + message)


def read_source(path):
    """Answers the directive lines and the picture rows of a text source."""
    directives, rows = {}, []
    with open(path, encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            line = line.rstrip("\n")
            if line.startswith("# ") or line == "#" or not line:
                continue
            words = line.split()
            if words[0] in ("hotspot", "palette"):
                directives[words[0]] = (words[1:], number)
            else:
                rows.append((line, number))
    return directives, rows


def pack_bits(bits):
    """Packs 1-bit pixels into bytes, most significant bit first, with each
    row padded to a multiple of four bytes."""
    data = bytearray()
    for i in range(0, len(bits), 8):
        byte = 0
        for bit in bits[i:i + 8]:
            byte = (byte << 1) | bit
        data.append(byte << (8 - len(bits[i:i + 8])))
    while len(data) % 4:
        data.append(0)
    return bytes(data)


def make_cursor(source_path, out_path):
    directives, rows = read_source(source_path)
    if "hotspot" not in directives:
        fail(source_path + ": no hotspot line")
    hx, hy = (int(v) for v in directives["hotspot"][0])
    if len(rows) != 32:
        fail("%s: %d rows, a cursor has 32" % (source_path, len(rows)))
    and_rows, xor_rows = [], []
    for text, number in rows:
        if len(text) != 32 or any(c not in CURSOR_PIXELS for c in text):
            fail("%s:%d: a row is 32 of the characters # o . ~" % (source_path, number))
        and_rows.append(pack_bits([CURSOR_PIXELS[c][0] for c in text]))
        xor_rows.append(pack_bits([CURSOR_PIXELS[c][1] for c in text]))
    if not (0 <= hx < 32 and 0 <= hy < 32):
        fail(source_path + ": the hotspot lies outside the picture")
    # The image: a 1-bit DIB of double height (XOR mask, then AND mask).
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + b"".join(reversed(xor_rows)) + b"".join(reversed(and_rows))
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, hx, hy, len(image), 6 + 16)
    with open(out_path, "wb") as out:
        out.write(directory + entry + image)


def make_bitmap(source_path, out_path):
    directives, rows = read_source(source_path)
    if directives.get("palette", ([None], 0))[0] != ["vga16"]:
        fail(source_path + ": a line 'palette vga16' is needed")
    if not rows:
        fail(source_path + ": no rows")
    width = len(rows[0][0])
    packed = []
    for text, number in rows:
        if len(text) != width or any(c not in "0123456789ABCDEF" for c in text.upper()):
            fail("%s:%d: every row has %d hexadecimal digits" % (source_path, number, width))
        data = bytearray()
        for i in range(0, width, 2):
            high = int(text[i], 16)
            low = int(text[i + 1], 16) if i + 1 < width else 0
            data.append((high << 4) | low)
        while len(data) % 4:
            data.append(0)
        packed.append(bytes(data))
    pixels = b"".join(reversed(packed))
    palette = b"".join(bytes([b, g, r, 0]) for r, g, b in VGA16)
    info = struct.pack("<IiiHHIIiiII", 40, width, len(rows), 1, 4, 0, len(pixels), 0, 0, 16, 0)
    offset = 14 + len(info) + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(out_path, "wb") as out:
        out.write(file_header + info + palette + pixels)


def main(argv):
    if len(argv) != 4 or argv[1] not in ("cursor", "bitmap"):
        sys.exit(__doc__)
    (make_cursor if argv[1] == "cursor" else make_bitmap)(argv[2], argv[3])


if __name__ == "__main__":
    main(sys.argv)
