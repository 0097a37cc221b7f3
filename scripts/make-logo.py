#!/usr/bin/env python3
"""Draws the tray icon modules/img/logo.ico: a stylised mouse on a dark
rounded square, as a 32-bit BMP icon at 16, 32 and 48 pixels."""
import struct, sys

def pixel(x, y, n):
    # Normalised coordinates in [-1, 1].
    u = (x + 0.5) / n * 2 - 1
    v = (y + 0.5) / n * 2 - 1
    r = 0.28
    dx = max(abs(u) - (1 - r), 0); dy = max(abs(v) - (1 - r), 0)
    if dx * dx + dy * dy > r * r:
        return (0, 0, 0, 0)                      # outside the rounded square
    body = (u / 0.48) ** 2 + ((v - 0.08) / 0.72) ** 2
    if body <= 1:
        if v < -0.05 and abs(u) < 0.06:
            return (30, 32, 38, 255)             # split between the buttons
        if abs(v + 0.05) < 0.05:
            return (30, 32, 38, 255)             # line under the buttons
        if abs(u) < 0.08 and -0.42 < v < -0.18:
            return (0, 170, 255, 255)            # wheel
        return (235, 236, 240, 255)
    return (38, 40, 48, 255)

def image(n):
    rows = []
    for y in range(n - 1, -1, -1):               # BMP rows go bottom-up
        rows.append(b"".join(struct.pack("BBBB", b, g, r, a)
                             for (r, g, b, a) in (pixel(x, y, n) for x in range(n))))
    xor = b"".join(rows)
    mask_row = ((n + 31) // 32) * 4
    andmask = b"\0" * (mask_row * n)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask

sizes = [16, 32, 48]
images = [image(n) for n in sizes]
out = struct.pack("<HHH", 0, 1, len(sizes))
offset = 6 + 16 * len(sizes)
for n, img in zip(sizes, images):
    out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(img), offset)
    offset += len(img)
out += b"".join(images)
open(sys.argv[1] if len(sys.argv) > 1 else "modules/img/logo.ico", "wb").write(out)
