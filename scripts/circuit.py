#!/usr/bin/env python3
"""Draws the measuring circuit of the guide as docs/circuit.svg, with the part values for the initial core.

    scripts/circuit.py           writes docs/circuit.svg
    scripts/circuit.py --check   fails when docs/circuit.svg is not what this script draws

Only the standard library; the drawing is plain SVG lines, paths and text, the same on every run.
"""
import os
import sys

WIDTH, HEIGHT = 820, 420
INK = "#000"
WIRE = 'stroke="#000" stroke-width="2" fill="none"'


def line(x1, y1, x2, y2):
    return f'<line x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}" {WIRE}/>'


def wire(*points):
    return '<polyline points="' + " ".join(f"{x},{y}" for x, y in points) + f'" {WIRE}/>'


def text(x, y, content, anchor="start", size=14, weight="normal"):
    return (f'<text x="{x}" y="{y}" font-family="sans-serif" font-size="{size}" font-weight="{weight}" '
            f'text-anchor="{anchor}" fill="{INK}">{content}</text>')


def terminal(x, y):
    return f'<circle cx="{x}" cy="{y}" r="5" fill="#fff" stroke="#000" stroke-width="2"/>'


def node(x, y):
    return f'<circle cx="{x}" cy="{y}" r="4" fill="#000"/>'


def resistor_horizontal(x1, x2, y):
    """A zigzag from x1 to x2 (six teeth between short leads)."""
    lead = 10
    step = (x2 - x1 - 2 * lead) / 12
    points = [(x1, y), (x1 + lead, y)]
    for i in range(12):
        points.append((round(x1 + lead + (i + 0.5) * step, 1), y + (-8 if i % 2 == 0 else 8)))
    points += [(x2 - lead, y), (x2, y)]
    return wire(*points)


def resistor_vertical(x, y1, y2):
    lead = 10
    step = (y2 - y1 - 2 * lead) / 12
    points = [(x, y1), (x, y1 + lead)]
    for i in range(12):
        points.append((x + (-8 if i % 2 == 0 else 8), round(y1 + lead + (i + 0.5) * step, 1)))
    points += [(x, y2 - lead), (x, y2)]
    return wire(*points)


def coil(x, y1, y2, bulge):
    """Four turns from y1 down to y2, bulging towards the core (bulge > 0: to the right)."""
    turn = (y2 - y1) / 4
    sweep = 1 if bulge > 0 else 0
    d = f"M {x} {y1} " + " ".join(f"A {turn / 2} {turn / 2} 0 0 {sweep} {x} {y1 + (i + 1) * turn}" for i in range(4))
    return f'<path d="{d}" {WIRE}/>'


def ground(x, y):
    return "\n".join([line(x - 12, y, x + 12, y), line(x - 8, y + 5, x + 8, y + 5), line(x - 4, y + 10, x + 4, y + 10)])


def drawing():
    parts = [
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{HEIGHT}" viewBox="0 0 {WIDTH} {HEIGHT}">',
        f'<rect width="{WIDTH}" height="{HEIGHT}" fill="#fff"/>',
        text(20, 28, "Measuring a core: the circuit, with the values for the initial core", size=16, weight="bold"),
        # The sound card's output: one channel and its ground.
        text(20, 70, "sound card output (either channel)"),
        terminal(40, 100),
        wire((45, 100), (90, 100)),
        resistor_horizontal(90, 170, 100),
        text(130, 130, "Rs 47 Ω", anchor="middle"),
        wire((170, 100), (260, 100), (260, 140)),
        terminal(40, 380),
        text(20, 405, "output ground", size=12),
        wire((45, 380), (60, 380)),
        ground(60, 380),
        # The drive winding, the core and the sense winding.
        coil(260, 140, 240, 1),
        text(245, 175, "drive winding", anchor="end"),
        text(245, 193, "N = 10 turns", anchor="end"),
        line(292, 130, 292, 250),
        line(299, 130, 299, 250),
        text(285, 285, "toroid core", size=12),
        text(285, 300, "D 10, d 6, H 3 mm", size=12),
        coil(331, 140, 240, -1),
        text(346, 170, "sense winding"),
        text(346, 188, "K = 10 turns, wound"),
        text(346, 204, "together with the drive", size=12),
        # The sense winding's top end is the first input channel; its other end is grounded.
        wire((331, 140), (331, 100), (620, 100)),
        wire((331, 240), (331, 252)),
        ground(331, 252),
        # The reference under the drive winding; the node between them is the second input channel.
        wire((260, 240), (260, 320)),
        node(260, 320),
        resistor_vertical(260, 320, 370),
        text(232, 335, "Rref 0.628 Ω", anchor="end"),
        text(232, 351, "(1 Ω ∥ 1.69 Ω)", anchor="end", size=12),
        wire((260, 370), (260, 380)),
        ground(260, 380),
        wire((260, 320), (620, 320)),
        # The sound card's stereo input.
        terminal(625, 100),
        text(640, 96, "input channel 1"),
        text(640, 112, "(left): sense", size=12),
        terminal(625, 320),
        text(640, 316, "input channel 2"),
        text(640, 332, "(right): reference", size=12),
        terminal(625, 380),
        text(640, 385, "input ground"),
        wire((620, 380), (600, 380)),
        ground(600, 380),
        text(20, 232, "I flows through", size=12),
        text(20, 248, "drive and reference", size=12),
        text(530, 165, "channel 1 = ω·M·I, M = L·K/N", size=12),
        text(530, 181, "channel 2 = Rref·I, Rref = 0.06283·K Ω", size=12),
        text(530, 197, "r = channel 1 / channel 2 = L / (N·1 µH)", size=12),
        text(530, 240, "All grounds meet at the ground end", size=12),
        text(530, 256, "of Rref.", size=12),
        "</svg>",
    ]
    return "\n".join(parts) + "\n"


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = os.path.join(root, "docs", "circuit.svg")
    svg = drawing()
    if sys.argv[1:] == ["--check"]:
        try:
            with open(target, encoding="utf-8") as f:
                committed = f.read()
        except OSError as e:
            sys.exit(f"circuit: {e}")
        if committed != svg:
            sys.exit("circuit: docs/circuit.svg is not what scripts/circuit.py draws; run scripts/circuit.py")
        return
    if sys.argv[1:]:
        sys.exit("usage: scripts/circuit.py [--check]")
    with open(target, "w", encoding="utf-8") as f:
        f.write(svg)


if __name__ == "__main__":
    main()
