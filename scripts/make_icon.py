#!/usr/bin/env python3
"""Draws the program icon, a wound toroidal core seen from above, at 16x16 and 32x32 and writes
resources/coilprobe.ico (32-bit images with alpha). Run it again after changing the drawing."""
import math
import struct
import sys

FERRITE = (58, 62, 70)
FERRITE_EDGE = (30, 32, 38)
COPPER = (214, 128, 48)
COPPER_DARK = (150, 78, 24)


def pixel_colour(x, y, size):
    """Colour and coverage of one sample point; coordinates in a unit square centred on 0."""
    r = math.hypot(x, y)
    outer, inner = 0.43, 0.2
    # the two leads leave the winding towards the right
    for lead_angle in (-0.42, 0.02):
        ax, ay = math.cos(lead_angle), -math.sin(lead_angle)
        along = x * ax + y * ay
        across = abs(-x * ay + y * ax)
        if 0.3 < along < 0.5 and across < 0.02 + 0.6 / size:
            return COPPER
    if not inner <= r <= outer:
        return None
    angle = math.atan2(-y, x) % (2 * math.pi)
    # turns of wire over most of the ring, leaving a gap at the lower right for the leads
    turns = 9 if size >= 32 else 5
    start, end = 0.35, 2 * math.pi - 0.75
    if start <= angle <= end:
        phase = (angle - start) / (end - start) * turns
        if abs(phase - round(phase)) < (0.2 if size >= 32 else 0.24):
            return COPPER
    edge = min(r - inner, outer - r)
    return FERRITE_EDGE if edge < 0.035 else FERRITE


def render(size, samples=4):
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / size - 0.5
                    y = (py + (sy + 0.5) / samples) / size - 0.5
                    c = pixel_colour(x, y, size)
                    if c:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            alpha = hits / (samples * samples)
            rgb = [int(a / hits) if hits else 0 for a in acc]
            row.append((rgb[0], rgb[1], rgb[2], int(round(alpha * 255))))
        rows.append(row)
    return rows


def icon_image(size):
    rows = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(struct.pack('<BBBB', b, g, r, a) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + xor + mask


def main(path):
    images = [(s, icon_image(s)) for s in (16, 32)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'resources/coilprobe.ico')
