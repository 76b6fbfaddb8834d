"""The routing arrows' two looks, drawn as PNG files (no imaging library needed)."""

import struct
import zlib

WIDTH, HEIGHT, SAMPLES = 144, 44, 4
LOOKS = {"enable": (0x25, 0x63, 0xEB), "disable": (0xC4, 0xCC, 0xD8)}


def _inside_right_arrow(x, y):
    """Arrow pointing right in a WIDTH x HEIGHT box."""
    mid = HEIGHT / 2
    head = 30.0
    shaft = 10.0
    tip = WIDTH - 4
    if 4 <= x <= tip - head:
        return abs(y - mid) <= shaft / 2
    if tip - head < x <= tip:
        return abs(y - mid) <= (tip - x) * (HEIGHT / 2 - 4) / head
    return False


def _png(rows):
    raw = b"".join(b"\x00" + bytes(r) for r in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def arrow_png(direction, look):
    colour = LOOKS[look]
    rows = []
    for y in range(HEIGHT):
        line = []
        for x in range(WIDTH):
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    px = x + (sx + 0.5) / SAMPLES
                    py = y + (sy + 0.5) / SAMPLES
                    if direction == "left":
                        px = WIDTH - px
                    hits += _inside_right_arrow(px, py)
            alpha = round(255 * hits / SAMPLES ** 2)
            line += [*colour, alpha]
        rows.append(line)
    return _png(rows)


def write_arrows(folder):
    for direction in ("left", "right"):
        for look in LOOKS:
            with open(f"{folder}/arrow_{direction}_{look}.png", "wb") as f:
                f.write(arrow_png(direction, look))
