#!/usr/bin/env python3
"""Draws Restwell's icons, PNGs and bitmaps into src/res/images (Python standard library only).
The results are committed; run this again only to change the artwork.

One family: round badges with a white glyph. The state icons differ by colour and glyph so
they are told apart at 16 px: working (orange, clock hands), rested (green, tick), break due
(red, exclamation mark), resting (blue, pause bars), due while suspended (grey with a red
ring, exclamation mark) and the program icon (teal, clock face)."""
import math
import struct
import zlib
from pathlib import Path

OUT = Path(__file__).resolve().parent.parent / "src" / "res" / "images"
SS = 4  # supersampling per axis


def rgb(h):
    return ((h >> 16) & 255, (h >> 8) & 255, h & 255)


# Shapes are inside-tests on coordinates in a unit square (0..1), so one drawing serves
# every size.
def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    return lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def segment(x0, y0, x1, y1, w):
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / ll)) if ll else 0.0
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= (w / 2) ** 2

    return inside


def rrect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return inside


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def inside(x, y):
        s1, s2, s3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)

    return inside


def render(w, h, layers, aspect=None):
    """layers: list of (inside(x, y), colour) where colour is (r, g, b[, a]) or a function
    (x, y) -> (r, g, b[, a]). Coordinates: x in 0..1 over the width, y over the height scaled
    by the aspect ratio (so circles stay round)."""
    aspect = aspect or (h / w)
    pixels = []
    for py in range(h):
        for px in range(w):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    x = (px + (sx + 0.5) / SS) / w
                    y = (py + (sy + 0.5) / SS) / h * aspect
                    col = (0, 0, 0, 0)
                    for inside, colour in layers:
                        if inside(x, y):
                            c = colour(x, y) if callable(colour) else colour
                            a = c[3] if len(c) > 3 else 255
                            if a >= 255 or col[3] == 0:
                                col = (c[0], c[1], c[2], a) if a >= 255 else (c[0], c[1], c[2], a)
                            else:
                                t = a / 255
                                col = (col[0] * (1 - t) + c[0] * t, col[1] * (1 - t) + c[1] * t,
                                       col[2] * (1 - t) + c[2] * t, max(col[3], a))
                    acc[0] += col[0] * col[3]
                    acc[1] += col[1] * col[3]
                    acc[2] += col[2] * col[3]
                    acc[3] += col[3]
            n = SS * SS
            a = acc[3] / n
            if a > 0:
                pixels.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]), round(a)))
            else:
                pixels.append((0, 0, 0, 0))
    return pixels


def png(w, h, pixels):
    raw = b"".join(b"\0" + bytes(v for p in pixels[y * w:(y + 1) * w] for v in p) for y in range(h))

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico(images):
    """images: list of (size, pixels); written as 32-bit DIB entries with an AND mask."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for size, pixels in images:
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        rows = []
        for y in reversed(range(size)):
            rows.append(b"".join(struct.pack("BBBB", p[2], p[1], p[0], p[3]) for p in pixels[y * size:(y + 1) * size]))
        mask_row = ((size + 31) // 32) * 4
        mask = []
        for y in reversed(range(size)):
            bits = bytearray(mask_row)
            for x in range(size):
                if pixels[y * size + x][3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask.append(bytes(bits))
        blob = header + b"".join(rows) + b"".join(mask)
        entries.append(struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


def bmp24(w, h, pixels):
    row = (w * 3 + 3) & ~3
    data = b""
    for y in reversed(range(h)):
        line = b"".join(struct.pack("BBB", p[2], p[1], p[0]) for p in pixels[y * w:(y + 1) * w])
        data += line + b"\0" * (row - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + 40 + len(data), 0, 0, 54) + header + data


def flatten(pixels, background):
    out = []
    for p in pixels:
        t = p[3] / 255
        out.append(tuple(round(p[i] * t + background[i] * (1 - t)) for i in range(3)) + (255,))
    return out


WHITE = (255, 255, 255)
TEAL, ORANGE, GREEN, RED, BLUE, GREY = rgb(0x1F8A8A), rgb(0xE8871E), rgb(0x2E9E48), rgb(0xD2342C), rgb(0x2D6FC6), rgb(0x7D8791)
EDGE = (0, 0, 0, 70)


def badge(colour, glyph, ring_colour=None):
    layers = [(circle(0.5, 0.5, 0.48), EDGE), (circle(0.5, 0.5, 0.45), colour)]
    if ring_colour:
        layers.append((ring(0.5, 0.5, 0.45, 0.11), ring_colour))
    return layers + glyph


def clock_hands(w):
    return [(segment(0.5, 0.5, 0.5, 0.24, w), WHITE), (segment(0.5, 0.5, 0.70, 0.60, w), WHITE)]


GLYPHS = {
    "clock": [(ring(0.5, 0.5, 0.33, 0.08), WHITE)] + clock_hands(0.10),
    "hands": clock_hands(0.15) + [(circle(0.5, 0.5, 0.08), WHITE)],
    "tick": [(segment(0.27, 0.52, 0.43, 0.68, 0.15), WHITE), (segment(0.43, 0.68, 0.74, 0.32, 0.15), WHITE)],
    "bang": [(segment(0.5, 0.22, 0.5, 0.56, 0.16), WHITE), (circle(0.5, 0.76, 0.085), WHITE)],
    "pause": [(rrect(0.31, 0.27, 0.44, 0.73, 0.03), WHITE), (rrect(0.56, 0.27, 0.69, 0.73, 0.03), WHITE)],
}

ICONS = {
    128: badge(TEAL, GLYPHS["clock"]),
    132: badge(ORANGE, GLYPHS["hands"]),
    133: badge(GREEN, GLYPHS["tick"]),
    134: badge(RED, GLYPHS["bang"]),
    136: badge(BLUE, GLYPHS["pause"]),
    147: badge(GREY, GLYPHS["bang"], RED),
    160: badge(TEAL, GLYPHS["clock"]),
    154: [(rrect(0.06, 0.22, 0.52, 0.45, 0.05), rgb(0xC99A2E)),
          (rrect(0.06, 0.30, 0.94, 0.84, 0.07), rgb(0xE9B949)),
          (rrect(0.06, 0.40, 0.94, 0.84, 0.07), rgb(0xF4CC62))],
    # A bare triangle: greyed on a disabled button, its outline still reads as "play".
    164: [(triangle((0.22, 0.12), (0.22, 0.88), (0.88, 0.5)), GREEN)],
}


# A 5 × 7 pixel font with the letters the banner needs.
FONT = {
    "R": ["1110", "1001", "1001", "1110", "1010", "1001", "1001"],
    "e": ["0000", "0000", "0110", "1001", "1111", "1000", "0111"],
    "s": ["0000", "0000", "0111", "1000", "0110", "0001", "1110"],
    "t": ["0100", "0100", "1110", "0100", "0100", "0100", "0011"],
    "w": ["00000", "00000", "10001", "10001", "10101", "10101", "01010"],
    "l": ["110", "010", "010", "010", "010", "010", "111"],
}


def text_shapes(text, x, y, cell, aspect):
    shapes = []
    for ch in text:
        rows = FONT[ch]
        for r, bits in enumerate(rows):
            for c, bit in enumerate(bits):
                if bit == "1":
                    x0, y0 = x + c * cell, y + r * cell * 1.0
                    shapes.append(rrect(x0, y0, x0 + cell * 1.2, y0 + cell * 1.2, cell * 0.45))
        x += (len(rows[0]) + 1) * cell
    return lambda px, py: any(s(px, py) for s in shapes)


def vgradient(top, bottom, height=1.0):
    return lambda x, y: tuple(round(top[i] + (bottom[i] - top[i]) * min(1, y / height)) for i in range(3))


def hgradient(left, right):
    return lambda x, y: tuple(round(left[i] + (right[i] - left[i]) * x) for i in range(3))


SKY = rgb(0xBBDDFF)  # the program's background colour
DEEP = rgb(0x2D6FC6)


def bar(fill_a, fill_b):
    return [(rrect(0.01, 0.03, 0.99, 0.17, 0.06), (0, 0, 0, 60)),
            (rrect(0.015, 0.035, 0.985, 0.165, 0.055), vgradient(fill_a, fill_b, 0.2))]


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    for number, layers in ICONS.items():
        sizes = [16, 24, 32, 48]
        (OUT / f"icon{number}.ico").write_bytes(ico([(s, render(s, s, layers)) for s in sizes]))

    w, h = 164, 32
    aspect = h / w
    (OUT / "png141.png").write_bytes(png(w, h, render(w, h, bar(rgb(0x7ED67E), rgb(0x2E9E48)), aspect)))
    (OUT / "png142.png").write_bytes(png(w, h, render(w, h, bar(rgb(0xFFC65A), rgb(0xE8871E)), aspect)))
    (OUT / "png143.png").write_bytes(png(w, h, render(w, h, bar(rgb(0xF4F4F4), rgb(0xD8D8D8)), aspect)))

    w, h = 180, 60
    aspect = h / w
    logo = [(circle(0.17, aspect / 2, 0.13), (255, 255, 255, 90)), (circle(0.17, aspect / 2, 0.115), TEAL),
            (ring(0.17, aspect / 2, 0.08, 0.02), WHITE),
            (segment(0.17, aspect / 2, 0.17, aspect / 2 - 0.06, 0.025), WHITE),
            (segment(0.17, aspect / 2, 0.215, aspect / 2 + 0.03, 0.025), WHITE)]
    banner = [(lambda x, y: True, hgradient(SKY, DEEP))] + logo + [
        (text_shapes("Restwell", 0.34, aspect / 2 - 0.062, 0.0162, aspect), WHITE)]
    (OUT / "png148.png").write_bytes(png(w, h, render(w, h, banner, aspect)))
    (OUT / "png150.png").write_bytes(png(8, 60, render(8, 60, [(lambda x, y: True, vgradient(rgb(0xD6EBFF), SKY, 7.5))], 7.5)))
    (OUT / "png151.png").write_bytes(png(10, 60, render(10, 60, [(lambda x, y: True, lambda x, y: SKY + (round(255 * x),))], 6.0)))

    w, h = 164, 314
    aspect = h / w
    watermark = [(lambda x, y: True, vgradient(SKY, DEEP, aspect)),
                 (circle(0.5, 0.55, 0.30), (255, 255, 255, 70)), (circle(0.5, 0.55, 0.26), TEAL),
                 (ring(0.5, 0.55, 0.19, 0.035), WHITE), (segment(0.5, 0.55, 0.5, 0.42, 0.05), WHITE),
                 (segment(0.5, 0.55, 0.6, 0.63, 0.05), WHITE)]
    (OUT / "bmp138.bmp").write_bytes(bmp24(w, h, flatten(render(w, h, watermark, aspect), WHITE)))
    (OUT / "bmp139.bmp").write_bytes(bmp24(49, 49, flatten(render(49, 49, badge(TEAL, GLYPHS["clock"])), WHITE)))


if __name__ == "__main__":
    main()
