#!/usr/bin/env python3
"""Draws every image the launcher carries and writes them into resources/.

resources/ztk.ico       the product icon: 32x32 and 16x16, at 256 and 16 colours, and
                        20, 24, 40, 48, 64 and 256 pixels at 32 bpp with alpha
                        (the 256-pixel one PNG-compressed, as icon files hold it)
resources/logo.bmp      the partner's logo for the offer dialog, 294x47, 24 bpp
resources/logosmall.bmp the partner's logo for the information dialog, 64x64, 24 bpp
resources/logo_NNN.bmp, resources/logosmall_NNN.bmp
                        both logos drawn anew at NNN % (125 to 300), 256 colours,
                        run-length encoded: sharp at the display's scale, and
                        small enough to carry seven of each

Pure Python without third-party modules, so that the images can be redrawn
anywhere; the build itself only reads the files this writes. The output is
deterministic: running it twice gives identical bytes.
"""
import math
import os
import struct
import sys
import zlib

SUPERSAMPLE = 4

# ---------------------------------------------------------------- geometry


def rounded_rect_inside(x, y, left, top, right, bottom, radius):
    """True when (x, y) lies inside the rounded rectangle."""
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def mix(a, b, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


# ---------------------------------------------------------------- artwork

# The tile's colours: smooth ones for 256 colours, and the standard
# 16-colour palette's own entries for 16 colours, where shading would only
# turn into stray colours.
TRUE_COLOURS = {
    "top": hex_colour("3A8EE6"), "bottom": hex_colour("17478F"), "edge": hex_colour("0F2F63"),
    "slabs": [hex_colour("FFFFFF"), hex_colour("D9E8FA"), hex_colour("B3D0F2")],
    "slab_shade": 0.35, "strap": hex_colour("F4B331"), "strap_shade": hex_colour("C98A12"),
    "highlight": 0.12,
}
VGA_COLOURS = {
    "top": (0, 0, 255), "bottom": (0, 0, 128), "edge": (0, 0, 128),
    "slabs": [(255, 255, 255), (192, 192, 192), (192, 192, 192)],
    "slab_shade": None, "strap": (255, 255, 0), "strap_shade": (128, 128, 0), "highlight": 0,
}


def product_tile(x, y, scheme=TRUE_COLOURS):
    """The product icon on a 32-unit square: a blue tile holding three
    stacked slabs tied by a golden strap. Returns an RGB tuple or None."""
    if not rounded_rect_inside(x, y, 1, 1, 31, 31, 6.5):
        return None
    if not rounded_rect_inside(x, y, 2.2, 2.2, 29.8, 29.8, 5.4):
        return scheme["edge"]
    if scheme["slab_shade"] is None:
        colour = scheme["top"] if y < 17 else scheme["bottom"]
    else:
        colour = mix(scheme["top"], scheme["bottom"], (y - 2) / 28)
    # A soft highlight over the upper half of the tile.
    if y < 15 and rounded_rect_inside(x, y, 3, 3, 29, 27, 5):
        colour = mix(colour, (255, 255, 255), scheme["highlight"] * (15 - y) / 12)
    for i, slab in enumerate(scheme["slabs"]):
        top = 7.5 + i * 6.2
        if rounded_rect_inside(x, y, 7, top, 25, top + 5, 1.8):
            colour = slab
            if y > top + 3.8:
                shade = scheme["slab_shade"]
                colour = (128, 128, 128) if shade is None else mix(slab, scheme["bottom"], shade)
    if 14 <= x <= 18 and 6 <= y <= 26.5:
        colour = scheme["strap_shade"] if x > 17 else scheme["strap"]
    if rounded_rect_inside(x, y, 12.6, 14.2, 19.4, 19.2, 1.2):
        colour = scheme["strap_shade"]
        if rounded_rect_inside(x, y, 13.8, 15.3, 18.2, 18.1, 0.6):
            colour = scheme["bottom"]
    return colour


def product_tile_vga(x, y):
    return product_tile(x, y, VGA_COLOURS)


SHIELD_LIGHT = hex_colour("2FBF8F")
SHIELD_DARK = hex_colour("0E6E64")
SHIELD_RIM = hex_colour("0A4A45")
TICK = hex_colour("FFFFFF")
BACKGROUND = hex_colour("F0F0F0")
BAR_COLOURS = [hex_colour("0E6E64"), hex_colour("2FBF8F"), hex_colour("8FD9C0")]


def shield_half_width(v):
    """Half width of the shield at height v (0 top, 1 tip), in units of the
    shield's half width."""
    if v < 0.42:
        return 1.0
    t = (v - 0.42) / 0.58
    return max(0.0, (1 - t ** 1.7) * (1 - 0.25 * t))


def shield(u, v):
    """A shield with a tick in the unit box u in [-1, 1], v in [0, 1]."""
    top = 0.03 + 0.06 * (1 - u * u)
    if v < top or v > 1 or abs(u) > shield_half_width(v):
        return None
    inner_top = top + 0.07
    inset = 0.12
    inside = v >= inner_top and v < 0.93 and abs(u) <= shield_half_width(v) - inset
    if not inside:
        return SHIELD_RIM
    colour = mix(SHIELD_LIGHT, SHIELD_DARK, (v + (u + 1) * 0.25) / 1.2)
    if u < 0:
        colour = mix(colour, (255, 255, 255), 0.1)
    d = min(segment_distance(u, v, -0.46, 0.52, -0.1, 0.74),
            segment_distance(u, v, -0.1, 0.74, 0.5, 0.27))
    if d < 0.11:
        colour = TICK
    return colour


def logo(x, y):
    """The partner's logo, 294 by 47: the shield, then a word-less mark of
    three rounded bars where a name would stand."""
    colour = BACKGROUND
    mark = shield((x - 24) / 19, (y - 3) / 41)
    if mark is not None:
        return mark
    bars = [(54, 9, 232, 19), (54, 24, 190, 31), (54, 35, 140, 40)]
    for (left, top, right, bottom), bar in zip(bars, BAR_COLOURS):
        radius = (bottom - top) / 2
        if rounded_rect_inside(x, y, left, top, right, bottom, radius):
            colour = bar
    # A thin rule under the mark ties it together.
    if 238 <= x <= 288 and 9 <= y <= 19:
        if rounded_rect_inside(x, y, 238, 9, 288, 19, 5):
            colour = mix(BAR_COLOURS[1], BAR_COLOURS[0], (x - 238) / 50)
    return colour


def logo_small(x, y):
    mark = shield((x - 32) / 25, (y - 4) / 56)
    return BACKGROUND if mark is None else mark


# ---------------------------------------------------------------- rendering


def render(draw, width, height, scale, n=SUPERSAMPLE):
    """RGBA rows, n by n samples a pixel; draw takes coordinates in its own
    units and returns RGB or None (transparent)."""
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            total = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(n):
                for sx in range(n):
                    c = draw((px + (sx + 0.5) / n) * scale, (py + (sy + 0.5) / n) * scale)
                    if c is not None:
                        covered += 1
                        for i in range(3):
                            total[i] += c[i]
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(t / covered)) for t in total) + (covered * 255 // (n * n),))
        rows.append(row)
    return rows


# ---------------------------------------------------------------- palettes

VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def median_cut(colours, count):
    """An adaptive palette of at most count colours (black kept first, for
    the transparent pixels)."""
    boxes = [sorted(set(colours))]
    while len(boxes) < count - 1:
        boxes.sort(key=lambda b: -len(b))
        box = boxes.pop(0)
        if len(box) < 2:
            boxes.append(box)
            break
        spans = [max(c[i] for c in box) - min(c[i] for c in box) for i in range(3)]
        axis = spans.index(max(spans))
        box.sort(key=lambda c: (c[axis], c))
        half = len(box) // 2
        boxes += [box[:half], box[half:]]
    palette = [(0, 0, 0)]
    for box in sorted(boxes):
        palette.append(tuple(sum(c[i] for c in box) // len(box) for i in range(3)))
    return palette + [(0, 0, 0)] * (count - len(palette))


def nearest(palette, colour):
    best, best_d = 0, None
    for i, p in enumerate(palette):
        d = (p[0] - colour[0]) ** 2 * 3 + (p[1] - colour[1]) ** 2 * 4 + (p[2] - colour[2]) ** 2 * 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


# ---------------------------------------------------------------- files


def opaque(pixel):
    return pixel[3] >= 128


def icon_image(rows, bits):
    """One icon image: BITMAPINFOHEADER, palette, colour bits, AND mask."""
    height, width = len(rows), len(rows[0])
    solid = [p[:3] for row in rows for p in row if opaque(p)]
    palette = median_cut(solid, 256) if bits == 8 else VGA16
    per_byte = 8 // bits
    stride = ((width * bits + 31) // 32) * 4
    mask_stride = ((width + 31) // 32) * 4
    colour_bits, mask_bits = bytearray(), bytearray()
    for row in reversed(rows):
        indices = [nearest(palette, p[:3]) if opaque(p) else 0 for p in row]
        line = bytearray(stride)
        for x, index in enumerate(indices):
            shift = (per_byte - 1 - x % per_byte) * bits
            line[x // per_byte] |= index << shift
        colour_bits += line
        mask = bytearray(mask_stride)
        for x, p in enumerate(row):
            if not opaque(p):
                mask[x // 8] |= 0x80 >> (x % 8)
        mask_bits += mask
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0,
                         len(colour_bits) + len(mask_bits), 0, 0, 0, 0)
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + quads + bytes(colour_bits) + bytes(mask_bits)


def write_icon(path, images):
    """images: (rows, bits) in directory order."""
    blobs = []
    for rows, bits in images:
        if bits != 32:
            blob = icon_image(rows, bits)
        elif len(rows) == 256:
            blob = icon_image_png(rows)
        else:
            blob = icon_image_rgba(rows)
        blobs.append((rows, bits, blob))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for rows, bits, blob in blobs:
        size = len(rows) % 256  # 0 stands for 256
        colours = 16 if bits == 4 else 0
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    out += b"".join(blob for _, _, blob in blobs)
    with open(path, "wb") as f:
        f.write(out)


def write_bmp(path, rows):
    """24 bpp, uncompressed, bottom-up."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b, _ in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + bytes(pixels))


def scaled_size(length, percent):
    """A length at percent, rounded half up as the launcher's MulDiv rounds."""
    return (length * percent + 50) // 100


def palette_of(rows):
    """256 colours for an image, and every colour it uses mapped to one. The
    flat colours (background, bars) are kept exact, so that the logo meets
    the dialog's face without a seam; the rest share what is left."""
    colours = [p[:3] for row in rows for p in row]
    counts = {}
    for c in colours:
        counts[c] = counts.get(c, 0) + 1
    exact = sorted(sorted(counts), key=lambda c: -counts[c])[:32]
    rest = [c for c in counts if c not in set(exact)]
    palette = exact + (median_cut(rest, 224) if rest else [])
    lookup = {c: nearest(palette, c) for c in set(colours)}
    return palette, lookup


def rle8_line(indices):
    """One row in 8-bit run-length encoding: runs of one index as (count,
    index), the rest in absolute blocks of at least three, word-aligned."""
    out, i, n = bytearray(), 0, len(indices)
    while i < n:
        run = 1
        while i + run < n and run < 255 and indices[i + run] == indices[i]:
            run += 1
        if run >= 3 or n - i < 3:
            out += bytes((run, indices[i]))
            i += run
            continue
        # An absolute block, up to the next run of three or more.
        j = i
        while j < n and j - i < 255:
            if j + 2 < n and indices[j] == indices[j + 1] == indices[j + 2]:
                break
            j += 1
        if j - i < 3:
            for k in range(i, j):
                out += bytes((1, indices[k]))
        else:
            out += bytes((0, j - i)) + bytes(indices[i:j])
            if (j - i) % 2:
                out += b"\0"
        i = j
    return out + b"\0\0"


def write_bmp_rle8(path, rows):
    """256 colours, BI_RLE8, bottom-up."""
    height, width = len(rows), len(rows[0])
    palette, lookup = palette_of(rows)
    pixels = bytearray()
    for row in reversed(rows):
        pixels += rle8_line([lookup[p[:3]] for p in row])
    pixels[-2:] = b"\0\1"  # the last end of line becomes the end of the bitmap
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(pixels), 2835, 2835,
                       256, 0)
    offset = 14 + len(info) + len(quads)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(head + info + quads + bytes(pixels))


def icon_image_rgba(rows):
    """One 32-bit icon image with its alpha, and the AND mask older readers use."""
    height, width = len(rows), len(rows[0])
    colour_bits, mask_bits = bytearray(), bytearray()
    mask_stride = ((width + 31) // 32) * 4
    for row in reversed(rows):
        for r, g, b, a in row:
            colour_bits += bytes((b, g, r, a))
        mask = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                mask[x // 8] |= 0x80 >> (x % 8)
        mask_bits += mask
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0,
                         len(colour_bits) + len(mask_bits), 0, 0, 0, 0)
    return header + bytes(colour_bits) + bytes(mask_bits)


def icon_image_png(rows):
    """One 32-bit icon image as PNG (RGBA, 8 bits a channel), for 256 pixels."""
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


LOGO_SCALES = (125, 150, 175, 200, 250, 300)
ICON_SIZES_RGBA = (20, 24, 40, 48, 64, 256)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources")
    big = render(product_tile, 32, 32, 1.0)
    small = render(product_tile, 16, 16, 2.0)
    # One sample a pixel at 16 colours: smoothed edges have no palette entry.
    big16 = render(product_tile_vga, 32, 32, 1.0, n=1)
    small16 = render(product_tile_vga, 16, 16, 2.0, n=1)
    images = [(big, 8), (small, 8), (big16, 4), (small16, 4)]
    images += [(render(product_tile, n, n, 32 / n), 32) for n in ICON_SIZES_RGBA]
    write_icon(os.path.join(out, "ztk.ico"), images)
    write_bmp(os.path.join(out, "logo.bmp"), render(logo, 294, 47, 1.0))
    write_bmp(os.path.join(out, "logosmall.bmp"), render(logo_small, 64, 64, 1.0))
    # Each scale drawn from the shapes themselves, not from the pixels above.
    for percent in LOGO_SCALES:
        for name, draw, (w, h) in (("logo", logo, (294, 47)), ("logosmall", logo_small, (64, 64))):
            width, height = scaled_size(w, percent), scaled_size(h, percent)
            rows = render(draw, width, height, w / width)
            write_bmp_rle8(os.path.join(out, "%s_%d.bmp" % (name, percent)), rows)


if __name__ == "__main__":
    main()
