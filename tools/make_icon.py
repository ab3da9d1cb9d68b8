#!/usr/bin/env python3
"""Draws the program icon and writes it as src/resources/kestrune.ico.

One 256 x 256 image, 32-bit colour with alpha, stored as an uncompressed
bitmap so that every Windows and Wine loads it. The drawing is plain
geometry, so the same script always writes the same bytes:
    python3 tools/make_icon.py [output]
"""
import struct
import sys

SIZE = 256
SAMPLES = 4  # per axis, for smooth edges


def inside_round_rect(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 and left <= x <= right and top <= y <= bottom


def inside_bubble(x, y):
    # A speech bubble with its tail at the lower left.
    if inside_round_rect(x, y, 44, 60, 212, 168, 34):
        return True
    # Tail: triangle (70,160) (110,160) (58,206)
    def side(ax, ay, bx, by):
        return (bx - ax) * (y - ay) - (by - ay) * (x - ax)
    a = side(70, 160, 110, 160)
    b = side(110, 160, 58, 206)
    c = side(58, 206, 70, 160)
    return (a >= 0 and b >= 0 and c >= 0) or (a <= 0 and b <= 0 and c <= 0)


def inside_dot(x, y):
    return any((x - cx) ** 2 + (y - 114) ** 2 <= 14 ** 2 for cx in (88, 128, 168))


def pixel(px, py):
    """Returns (b, g, r, a) of one pixel, averaged over its samples."""
    acc = [0.0, 0.0, 0.0, 0.0]
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = px + (sx + 0.5) / SAMPLES
            y = py + (sy + 0.5) / SAMPLES
            if not inside_round_rect(x, y, 8, 8, 248, 248, 48):
                continue
            if inside_bubble(x, y) and not inside_dot(x, y):
                colour = (255, 255, 255)
            else:
                # Teal to deep blue from top to bottom.
                t = y / SIZE
                colour = (int(40 + 120 * (1 - t)), int(150 - 70 * t), int(30 - 10 * t))
            acc[0] += colour[0]
            acc[1] += colour[1]
            acc[2] += colour[2]
            acc[3] += 255
    n = SAMPLES * SAMPLES
    alpha = acc[3] / n
    if alpha == 0:
        return (0, 0, 0, 0)
    cover = acc[3] / 255
    return tuple(int(round(v / cover)) for v in acc[:3]) + (int(round(alpha)),)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "src/resources/kestrune.ico"
    rows = []
    for py in range(SIZE - 1, -1, -1):  # bitmaps run bottom-up
        rows.append(b"".join(struct.pack("<4B", *pixel(px, py)) for px in range(SIZE)))
    xor = b"".join(rows)
    and_mask = b"\0" * (SIZE * SIZE // 8)  # alpha decides; the mask shows all
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    # Width and height 0 in the directory mean 256.
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(image), 22)
    with open(out, "wb") as f:
        f.write(directory + image)


if __name__ == "__main__":
    main()
