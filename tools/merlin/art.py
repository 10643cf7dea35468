#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws Merlin's parts as one SVG with one named group per part (and per variant of a part).

The art is generated rather than hand-edited so that shared geometry (the shoulders, where a
hand ends up for each arm pose, where the mouth sits under the moustache) is written once and
every variant agrees with it. Run it and commit its output:

    python3 tools/merlin/art.py > data/characters/Merlin/merlin.svg
"""

import math
import sys

# Merlin is drawn on a 200 x 184 grid, which keeps the numbers below round, and shrunk by SCALE
# into the frame (device-independent pixels) inside every group. He stands about 150 px tall; the
# room around him is for a raised arm, the trumpet and the sparkles.
W, H = 200, 184
CX = 100
SCALE = 0.86
DOWN = 16  # frame units of headroom above the hat, so that he can jump without leaving the frame
FRAME_W, FRAME_H = 172, 178


def to_frame(p):
    """A point of the drawing grid in frame coordinates, where the manifest's pivots live."""
    return [round(p[0] * SCALE, 1), round(p[1] * SCALE + DOWN, 1)]


def to_frame_offset(d):
    return [round(d[0] * SCALE, 1), round(d[1] * SCALE, 1)]


INK = "#2b2140"          # outline colour: dark violet reads on light and dark desktops alike
SKIN = "#ffd9b8"
CHEEK = "#ffa8a8"
NOSE = "#f7a98c"
HAT = "#2f6fdf"
HAT_DARK = "#1f4fae"
STAR = "#ffd43b"
ROBE = "#7048e8"
ROBE_DARK = "#5637b8"
TRIM = "#b197fc"
BEARD = "#ffffff"
BEARD_SHADE = "#e3e8ef"
MOUTH = "#7a1f35"
TONGUE = "#ff7a8a"
SHOE = "#8b5a2b"
WOOD = "#8a5a36"

SW = 2.0  # outline width

# Key points shared by several parts.
HEAD = (CX, 80)           # face centre; the head turns about the neck below it
HEAD_R = 20
NECK = (CX, 100)
SHOULDER_L = (CX - 21, 103)   # left and right as seen by the viewer
SHOULDER_R = (CX + 21, 103)
EYE_L = (CX - 8, 80)
EYE_R = (CX + 8, 80)
MOUTH_C = (CX, 99)


def f(v):
    return f"{v:.1f}".rstrip("0").rstrip(".")


def pts(*p):
    return " ".join(f"{f(x)},{f(y)}" for x, y in p)


def star_path(cx, cy, r, rot=0.0, inner=0.45):
    d = []
    for i in range(10):
        a = math.radians(-90 + rot + i * 36)
        rr = r if i % 2 == 0 else r * inner
        d.append(f"{f(cx + rr * math.cos(a))},{f(cy + rr * math.sin(a))}")
    return "M" + " L".join(d) + "Z"


def sparkle_path(cx, cy, r):
    # A four-pointed twinkle, thinner than a star so it reads as light rather than as a shape.
    k = r * 0.22
    return (f"M{f(cx)},{f(cy - r)} Q{f(cx + k)},{f(cy - k)} {f(cx + r)},{f(cy)} "
            f"Q{f(cx + k)},{f(cy + k)} {f(cx)},{f(cy + r)} Q{f(cx - k)},{f(cy + k)} {f(cx - r)},{f(cy)} "
            f"Q{f(cx - k)},{f(cy - k)} {f(cx)},{f(cy - r)}Z")


out = []


def w(s):
    out.append(s)


ONLY = None


def group(gid, body, extra=""):
    if ONLY is not None and gid not in ONLY:
        return
    w(f'<g id="{gid}"{extra}><g transform="translate(0 {DOWN}) scale({SCALE})">')
    w(body)
    w("</g></g>")


# ----------------------------------------------------------------------------------------------
# Robe, feet and body

def robe():
    x0, y0 = CX, 98
    s = []
    # feet peek out under the hem
    s.append(f'<ellipse cx="{CX - 14}" cy="170" rx="11" ry="5.5" fill="{SHOE}" stroke="{INK}" stroke-width="{SW}"/>')
    s.append(f'<ellipse cx="{CX + 14}" cy="170" rx="11" ry="5.5" fill="{SHOE}" stroke="{INK}" stroke-width="{SW}"/>')
    d = (f"M{x0 - 18},{y0} C{x0 - 26},{y0 + 24} {x0 - 36},{y0 + 50} {x0 - 42},{y0 + 68} "
         f"Q{x0 - 20},{y0 + 74} {x0},{y0 + 71} Q{x0 + 20},{y0 + 74} {x0 + 42},{y0 + 68} "
         f"C{x0 + 36},{y0 + 50} {x0 + 26},{y0 + 24} {x0 + 18},{y0} Z")
    s.append(f'<path d="{d}" fill="{ROBE}" stroke="{INK}" stroke-width="{SW}" stroke-linejoin="round"/>')
    # a fold down the middle and a lighter hem give the flat robe some volume
    s.append(f'<path d="M{x0 + 6},{y0 + 36} Q{x0 + 10},{y0 + 54} {x0 + 8},{y0 + 70}" fill="none" '
             f'stroke="{ROBE_DARK}" stroke-width="2.2" stroke-linecap="round"/>')
    s.append(f'<path d="M{x0 - 41},{y0 + 64} Q{x0 - 20},{y0 + 70} {x0},{y0 + 67} Q{x0 + 20},{y0 + 70} {x0 + 41},{y0 + 64}" '
             f'fill="none" stroke="{TRIM}" stroke-width="3" stroke-linecap="round"/>')
    for (sx, sy, r, rot) in [(CX - 24, 156, 4.5, 10), (CX + 25, 140, 4, -12), (CX - 13, 128, 3.2, 20),
                             (CX + 17, 160, 3.2, 0)]:
        s.append(f'<path d="{star_path(sx, sy, r, rot)}" fill="{STAR}"/>')
    # a crescent moon
    s.append(f'<path d="M{CX - 16},{150} a6,6 0 1,0 7,-8 a4.5,4.5 0 1,1 -7,8z" fill="{STAR}"/>')
    return "\n".join(s)


# ----------------------------------------------------------------------------------------------
# Head: face, nose, cheeks, beard and moustache. Eyes, eyebrows and mouth are separate parts.

def head():
    hx, hy = HEAD
    s = []
    # ears first, so the face overlaps them
    for ex in (hx - HEAD_R + 1, hx + HEAD_R - 1):
        s.append(f'<ellipse cx="{ex}" cy="{hy + 2}" rx="4.5" ry="6" fill="{SKIN}" stroke="{INK}" stroke-width="{SW}"/>')
    s.append(f'<circle cx="{hx}" cy="{hy}" r="{HEAD_R}" fill="{SKIN}" stroke="{INK}" stroke-width="{SW}"/>')
    s.append(f'<ellipse cx="{hx - 12}" cy="{hy + 7}" rx="4" ry="2.6" fill="{CHEEK}" opacity="0.8"/>')
    s.append(f'<ellipse cx="{hx + 12}" cy="{hy + 7}" rx="4" ry="2.6" fill="{CHEEK}" opacity="0.8"/>')
    # the long beard, its wavy sides ending in a soft point
    d = (f"M{hx - 19},{hy + 4} Q{hx - 12},{hy + 13} {hx},{hy + 12} Q{hx + 12},{hy + 13} {hx + 19},{hy + 4} "
         f"C{hx + 26},{hy + 18} {hx + 20},{hy + 24} {hx + 24},{hy + 32} "
         f"C{hx + 22},{hy + 42} {hx + 14},{hy + 46} {hx + 12},{hy + 52} "
         f"C{hx + 8},{hy + 56} {hx + 4},{hy + 58} {hx},{hy + 64} "
         f"C{hx - 4},{hy + 58} {hx - 8},{hy + 56} {hx - 12},{hy + 52} "
         f"C{hx - 14},{hy + 46} {hx - 22},{hy + 42} {hx - 24},{hy + 32} "
         f"C{hx - 20},{hy + 24} {hx - 26},{hy + 18} {hx - 19},{hy + 4} Z")
    s.append(f'<path d="{d}" fill="{BEARD}" stroke="{INK}" stroke-width="{SW}" stroke-linejoin="round"/>')
    for (x1, y1, x2, y2, x3, y3) in [(hx - 12, hy + 26, hx - 10, hy + 36, hx - 6, hy + 44),
                                     (hx + 10, hy + 26, hx + 9, hy + 36, hx + 5, hy + 46),
                                     (hx - 2, hy + 34, hx - 1, hy + 44, hx + 1, hy + 54)]:
        s.append(f'<path d="M{x1},{y1} Q{x2},{y2} {x3},{y3}" fill="none" stroke="{BEARD_SHADE}" '
                 f'stroke-width="2" stroke-linecap="round"/>')
    # the nose sits over the moustache
    mx, my = hx, hy + 12
    d = (f"M{mx},{my - 1} C{mx - 5},{my - 4} {mx - 12},{my - 3} {mx - 15},{my + 3} "
         f"C{mx - 11},{my + 2} {mx - 6},{my + 5} {mx},{my + 2} "
         f"C{mx + 6},{my + 5} {mx + 11},{my + 2} {mx + 15},{my + 3} "
         f"C{mx + 12},{my - 3} {mx + 5},{my - 4} {mx},{my - 1} Z")
    s.append(f'<path d="{d}" fill="{BEARD}" stroke="{INK}" stroke-width="1.6" stroke-linejoin="round"/>')
    s.append(f'<ellipse cx="{hx}" cy="{hy + 9}" rx="4.2" ry="3.6" fill="{NOSE}" stroke="{INK}" stroke-width="1.6"/>')
    return "\n".join(s)


# ----------------------------------------------------------------------------------------------
# Hat

def hat():
    hx, hy = HEAD
    s = []
    by = hy - 21   # brim line
    d = (f"M{hx - 23},{by} C{hx - 16},{by - 18} {hx - 6},{by - 36} {hx + 4},{by - 50} "
         f"Q{hx + 14},{by - 60} {hx + 24},{by - 56} "
         f"Q{hx + 16},{by - 52} {hx + 14},{by - 44} "
         f"C{hx + 14},{by - 30} {hx + 18},{by - 14} {hx + 23},{by} Z")
    s.append(f'<path d="{d}" fill="{HAT}" stroke="{INK}" stroke-width="{SW}" stroke-linejoin="round"/>')
    # a band just above the brim
    s.append(f'<path d="M{hx - 21},{by - 4} Q{hx},{by - 9} {hx + 21},{by - 4} L{hx + 22},{by - 1} Q{hx},{by - 6} {hx - 22},{by - 1} Z" '
             f'fill="{STAR}" stroke="{INK}" stroke-width="1.2" stroke-linejoin="round"/>')
    s.append(f'<ellipse cx="{hx}" cy="{by + 1}" rx="33" ry="6.5" fill="{HAT_DARK}" stroke="{INK}" stroke-width="{SW}"/>')
    s.append(f'<path d="M{hx - 30},{by + 1} Q{hx},{by - 4} {hx + 30},{by + 1}" fill="none" stroke="{HAT}" stroke-width="2.5" stroke-linecap="round"/>')
    for (sx, sy, r, rot) in [(hx - 6, by - 18, 5.5, 8), (hx + 8, by - 30, 4.2, -10), (hx + 10, by - 12, 3.4, 20),
                             (hx - 12, by - 8, 2.8, 0), (hx + 20, by - 53, 3.0, 15)]:
        s.append(f'<path d="{star_path(sx, sy, r, rot)}" fill="{STAR}" stroke="{INK}" stroke-width="0.8" stroke-linejoin="round"/>')
    return "\n".join(s)


# ----------------------------------------------------------------------------------------------
# Eyes and eyebrows, one group per variant

def eyes(kind):
    s = []
    for (ex, ey) in (EYE_L, EYE_R):
        if kind in ("open", "left", "right", "up", "down", "wide"):
            rx, ry = (4.6, 5.6) if kind != "wide" else (5.4, 6.6)
            s.append(f'<ellipse cx="{ex}" cy="{ey}" rx="{rx}" ry="{ry}" fill="#ffffff" stroke="{INK}" stroke-width="1.6"/>')
            dx = {"left": -1.8, "right": 1.8}.get(kind, 0.0)
            dy = {"up": -1.8, "down": 2.2}.get(kind, 0.6)
            pr = 2.8 if kind != "wide" else 2.4
            s.append(f'<circle cx="{f(ex + dx)}" cy="{f(ey + dy)}" r="{pr}" fill="{INK}"/>')
            s.append(f'<circle cx="{f(ex + dx + 1)}" cy="{f(ey + dy - 1.1)}" r="0.9" fill="#ffffff"/>')
        elif kind == "closed":
            s.append(f'<path d="M{ex - 4.6},{ey} Q{ex},{ey + 3.6} {ex + 4.6},{ey}" fill="none" stroke="{INK}" '
                     f'stroke-width="1.8" stroke-linecap="round"/>')
        elif kind == "happy":
            s.append(f'<path d="M{ex - 4.6},{ey + 1.5} Q{ex},{ey - 4} {ex + 4.6},{ey + 1.5}" fill="none" stroke="{INK}" '
                     f'stroke-width="2" stroke-linecap="round"/>')
        elif kind == "half":
            # sleepy: the upper lid drawn down over the eye
            s.append(f'<ellipse cx="{ex}" cy="{ey}" rx="4.6" ry="5.6" fill="#ffffff" stroke="{INK}" stroke-width="1.6"/>')
            s.append(f'<circle cx="{ex}" cy="{f(ey + 2)}" r="2.6" fill="{INK}"/>')
            s.append(f'<path d="M{ex - 4.6},{ey} A4.6,5.6 0 0,1 {ex + 4.6},{ey} Z" fill="{SKIN}" stroke="{INK}" stroke-width="1.6"/>')
    return "\n".join(s)


def brows(kind):
    # (inner dy, outer dy) relative to the brow line; the inner ends are nearer the nose
    shapes = {
        "neutral": (0, 0),
        "raised": (-4, -4),
        "sad": (-3.5, 2.5),
        "frown": (2.5, -2),
    }
    s = []
    by = EYE_L[1] - 9
    for side, (ex, _) in ((-1, EYE_L), (1, EYE_R)):
        if kind == "puzzled":
            di, do = ((-4, -4) if side < 0 else (2, 0))
        else:
            di, do = shapes[kind]
        ix, ox = ex - side * 4.5, ex + side * 5.5
        iy, oy = by + di, by + do
        mx, my = (ix + ox) / 2, min(iy, oy) - 2.5
        d = (f"M{f(ix)},{f(iy)} Q{f(mx)},{f(my)} {f(ox)},{f(oy)} "
             f"L{f(ox + side * 2.5)},{f(oy + 2.5)} Q{f(mx)},{f(my + 4)} {f(ix)},{f(iy + 2.8)} Z")
        s.append(f'<path d="{d}" fill="{BEARD}" stroke="{INK}" stroke-width="1.4" stroke-linejoin="round"/>')
    return "\n".join(s)


# ----------------------------------------------------------------------------------------------
# Mouth shapes: the seven the speech engine asks for, plus expressions for the animations.

def mouth(kind):
    mx, my = MOUTH_C
    s = []

    def opening(wd, ht, tongue=True):
        d = (f"M{f(mx - wd)},{f(my - 1)} Q{f(mx)},{f(my + 1 - ht * 0.2)} {f(mx + wd)},{f(my - 1)} "
             f"Q{f(mx + wd * 0.9)},{f(my - 1 + ht)} {f(mx)},{f(my - 1 + ht)} "
             f"Q{f(mx - wd * 0.9)},{f(my - 1 + ht)} {f(mx - wd)},{f(my - 1)} Z")
        s.append(f'<path d="{d}" fill="{MOUTH}" stroke="{INK}" stroke-width="1.4" stroke-linejoin="round"/>')
        if tongue and ht > 4:
            s.append(f'<ellipse cx="{mx}" cy="{f(my - 1 + ht * 0.75)}" rx="{f(wd * 0.5)}" ry="{f(ht * 0.22)}" fill="{TONGUE}"/>')

    if kind == "closed":
        s.append(f'<path d="M{mx - 5},{my} Q{mx},{my + 2.5} {mx + 5},{my}" fill="none" stroke="{INK}" stroke-width="1.8" stroke-linecap="round"/>')
    elif kind == "smile":
        s.append(f'<path d="M{mx - 7},{my - 1} Q{mx},{my + 5} {mx + 7},{my - 1}" fill="none" stroke="{INK}" stroke-width="2" stroke-linecap="round"/>')
    elif kind == "grin":
        opening(8, 8)
    elif kind == "sad":
        s.append(f'<path d="M{mx - 6},{my + 3} Q{mx},{my - 2} {mx + 6},{my + 3}" fill="none" stroke="{INK}" stroke-width="2" stroke-linecap="round"/>')
    elif kind == "o":
        s.append(f'<ellipse cx="{mx}" cy="{my + 3}" rx="3.6" ry="4.6" fill="{MOUTH}" stroke="{INK}" stroke-width="1.4"/>')
    elif kind == "wavy":
        s.append(f'<path d="M{mx - 7},{my + 1} Q{mx - 3.5},{my - 2} {mx},{my + 1} Q{mx + 3.5},{my + 4} {mx + 7},{my + 1}" fill="none" '
                 f'stroke="{INK}" stroke-width="1.8" stroke-linecap="round"/>')
    elif kind.startswith("wide"):
        n = int(kind[4:])
        opening(5 + n * 0.8, 2.5 + n * 1.6)
    elif kind == "medium":
        # rounded, as for "o"
        s.append(f'<ellipse cx="{mx}" cy="{my + 2.5}" rx="4.6" ry="4" fill="{MOUTH}" stroke="{INK}" stroke-width="1.4"/>')
        s.append(f'<ellipse cx="{mx}" cy="{my + 4.6}" rx="2.4" ry="1.2" fill="{TONGUE}"/>')
    elif kind == "narrow":
        s.append(f'<ellipse cx="{mx}" cy="{my + 2}" rx="2.6" ry="3.2" fill="{MOUTH}" stroke="{INK}" stroke-width="1.4"/>')
    return "\n".join(s)


# ----------------------------------------------------------------------------------------------
# Arms: a sleeve as an outlined tube from the shoulder through the elbow to the hand. Each pose is
# its own variant; a pose can still turn about the shoulder in an animation.

def tube(p, width=11, colour=ROBE):
    path = "M" + " L".join(f"{f(x)},{f(y)}" for x, y in p)
    return (f'<path d="{path}" fill="none" stroke="{INK}" stroke-width="{width + 2 * SW}" stroke-linecap="round" stroke-linejoin="round"/>\n'
            f'<path d="{path}" fill="none" stroke="{colour}" stroke-width="{width}" stroke-linecap="round" stroke-linejoin="round"/>')


def hand(x, y, r=5.2):
    return f'<circle cx="{f(x)}" cy="{f(y)}" r="{r}" fill="{SKIN}" stroke="{INK}" stroke-width="{SW}"/>'


def cuff(p_from, p_to):
    # a light band just before the hand
    (x1, y1), (x2, y2) = p_from, p_to
    dx, dy = x2 - x1, y2 - y1
    n = math.hypot(dx, dy)
    ux, uy = dx / n, dy / n
    cx, cy = x2 - ux * 5, y2 - uy * 5
    return (f'<path d="M{f(cx - uy * 6.5)},{f(cy + ux * 6.5)} L{f(cx + uy * 6.5)},{f(cy - ux * 6.5)}" '
            f'stroke="{TRIM}" stroke-width="3.2" stroke-linecap="round"/>')


def wand(x, y, angle_deg, length=30):
    a = math.radians(angle_deg)
    tx, ty = x + length * math.sin(a), y - length * math.cos(a)
    bx, by = x - 4 * math.sin(a), y + 4 * math.cos(a)
    return (f'<path d="M{f(bx)},{f(by)} L{f(tx)},{f(ty)}" stroke="{INK}" stroke-width="5" stroke-linecap="round"/>\n'
            f'<path d="M{f(bx)},{f(by)} L{f(tx)},{f(ty)}" stroke="{WOOD}" stroke-width="2.6" stroke-linecap="round"/>\n'
            f'<path d="{star_path(tx, ty, 6.5, angle_deg)}" fill="{STAR}" stroke="{INK}" stroke-width="1.4" stroke-linejoin="round"/>')


def arm(side, pose):
    """side -1 is the arm on the viewer's left, +1 on the viewer's right."""
    sx, sy = SHOULDER_L if side < 0 else SHOULDER_R
    m = side  # mirror factor for x offsets

    poses = {
        # hanging, a little away from the robe
        "down": [(sx, sy), (sx + m * 9, sy + 18), (sx + m * 12, sy + 34)],
        # raised high, open hand (waves, greets, cheers)
        "up": [(sx, sy), (sx + m * 14, sy - 10), (sx + m * 20, sy - 30)],
        # forward and to the side, palm up (explains, offers)
        "out": [(sx, sy), (sx + m * 14, sy + 12), (sx + m * 30, sy + 8)],
        # both hands in front of the chest, holding something
        "hold": [(sx, sy), (sx + m * 6, sy + 20), (sx - m * 8, sy + 24)],
        # hand cupped to the ear (listening)
        "ear": [(sx, sy), (sx + m * 16, sy + 6), (sx + m * 4, sy - 20)],
        # hand on the beard (thinking, stroking it)
        "beard": [(sx, sy), (sx + m * 8, sy + 20), (sx - m * 12, sy + 16)],
        # index finger up beside the face (an idea, a point to make)
        "point": [(sx, sy), (sx + m * 16, sy + 8), (sx + m * 16, sy - 14)],
        # hands on the hips, elbows out (pleased)
        "hip": [(sx, sy), (sx + m * 16, sy + 14), (sx + m * 4, sy + 28)],
        # palm raised towards the viewer (declines, stops)
        "palm": [(sx, sy), (sx + m * 12, sy + 14), (sx + m * 24, sy - 2)],
        # holding the quill over the scroll
        "write": [(sx, sy), (sx + m * 12, sy + 21), (sx - m * 11, sy + 31)],
        # a fist raised beside the face, holding the magnifier's handle
        "grip": [(sx, sy), (sx + m * 16, sy + 8), (sx + m * 16, sy - 14)],
        # the wand held high
        "wand": [(sx, sy), (sx + m * 14, sy - 8), (sx + m * 20, sy - 28)],
        # holding the trumpet to the mouth
        "trumpet": [(sx, sy), (sx + m * 15, sy + 11), (sx - m * 1, sy - 10)],
    }
    p = poses[pose]
    s = [tube(p), cuff(p[-2], p[-1])]
    hx, hy = p[-1]
    s.append(hand(hx, hy))
    if pose == "point":
        s.append(f'<path d="M{f(hx)},{f(hy - 3)} L{f(hx)},{f(hy - 10)}" stroke="{INK}" stroke-width="5" stroke-linecap="round"/>')
        s.append(f'<path d="M{f(hx)},{f(hy - 3)} L{f(hx)},{f(hy - 10)}" stroke="{SKIN}" stroke-width="2.4" stroke-linecap="round"/>')
    if pose in ("palm", "up"):
        # fingers spread
        for da in (-40, -15, 10, 35):
            a = math.radians(da + (m * 20 if pose == "up" else m * 35))
            x2, y2 = hx + 8.5 * math.sin(a), hy - 8.5 * math.cos(a)
            s.append(f'<path d="M{f(hx)},{f(hy)} L{f(x2)},{f(y2)}" stroke="{INK}" stroke-width="4.4" stroke-linecap="round"/>')
            s.append(f'<path d="M{f(hx)},{f(hy)} L{f(x2)},{f(y2)}" stroke="{SKIN}" stroke-width="2" stroke-linecap="round"/>')
        s.append(f'<circle cx="{f(hx)}" cy="{f(hy)}" r="4.4" fill="{SKIN}"/>')
    if side > 0 and pose == "down":
        s.insert(0, wand(hx + 1, hy + 1, 35))
    if side > 0 and pose == "wand":
        s.insert(0, wand(hx + 1, hy - 1, 25, length=26))
    return "\n".join(s)


# ----------------------------------------------------------------------------------------------
# Props, each drawn where the hands hold it in the matching arm pose.

HOLD_Y = SHOULDER_L[1] + 24


def book():
    y = HOLD_Y - 6
    s = []
    s.append(f'<path d="M{CX - 25},{y} L{CX},{y + 4} L{CX + 25},{y} L{CX + 25},{y + 22} L{CX},{y + 26} L{CX - 25},{y + 22} Z" '
             f'fill="#c0392b" stroke="{INK}" stroke-width="{SW}" stroke-linejoin="round"/>')
    s.append(f'<path d="M{CX - 22},{y - 3} Q{CX - 10},{y - 5} {CX},{y + 1} L{CX},{y + 22} Q{CX - 10},{y + 16} {CX - 22},{y + 18} Z" '
             f'fill="#fffbea" stroke="{INK}" stroke-width="1.4" stroke-linejoin="round"/>')
    s.append(f'<path d="M{CX + 22},{y - 3} Q{CX + 10},{y - 5} {CX},{y + 1} L{CX},{y + 22} Q{CX + 10},{y + 16} {CX + 22},{y + 18} Z" '
             f'fill="#fffbea" stroke="{INK}" stroke-width="1.4" stroke-linejoin="round"/>')
    for i in range(4):
        yy = y + 3 + i * 3.6
        s.append(f'<path d="M{CX - 18},{f(yy)} Q{CX - 10},{f(yy - 1.5)} {CX - 4},{f(yy + 1)}" fill="none" stroke="#adb5bd" stroke-width="1.1"/>')
        s.append(f'<path d="M{CX + 18},{f(yy)} Q{CX + 10},{f(yy - 1.5)} {CX + 4},{f(yy + 1)}" fill="none" stroke="#adb5bd" stroke-width="1.1"/>')
    s.append(f'<path d="{star_path(CX - 11, y + 12, 2.6)}" fill="{STAR}" stroke="{INK}" stroke-width="0.5"/>')
    return "\n".join(s)


def scroll():
    y = HOLD_Y - 4
    s = []
    s.append(f'<rect x="{CX - 20}" y="{y}" width="40" height="26" fill="#fff3bf" stroke="{INK}" stroke-width="{SW}"/>')
    for yy in (y, y + 26):
        s.append(f'<rect x="{CX - 24}" y="{yy - 3}" width="48" height="6" rx="3" fill="#e9c46a" stroke="{INK}" stroke-width="1.6"/>')
    for i in range(3):
        yy = y + 8 + i * 5.5
        s.append(f'<path d="M{CX - 14},{f(yy)} Q{CX - 6},{f(yy - 2)} {CX + 2},{f(yy)} T{CX + 14},{f(yy)}" fill="none" stroke="#6c5ce7" stroke-width="1.3"/>')
    return "\n".join(s)


def quill():
    # nib at the origin of the writing hand, feather sweeping up and out
    # the nib just under the writing hand, the feather sweeping up and away from the forearm
    nx, ny = SHOULDER_R[0] - 8, SHOULDER_R[1] + 40
    s = []
    d = (f"M{nx},{ny} C{nx - 4},{ny - 12} {nx - 12},{ny - 26} {nx - 24},{ny - 36} "
         f"C{nx - 22},{ny - 24} {nx - 14},{ny - 12} {nx},{ny} Z")
    s.append(f'<path d="{d}" fill="#4dabf7" stroke="{INK}" stroke-width="1.6" stroke-linejoin="round"/>')
    s.append(f'<path d="M{nx},{ny} Q{nx - 10},{ny - 16} {nx - 23},{ny - 35}" fill="none" stroke="#1c7ed6" stroke-width="1.2"/>')
    s.append(f'<path d="M{nx},{ny} L{nx - 3},{ny - 6}" stroke="{INK}" stroke-width="2.4" stroke-linecap="round"/>')
    return "\n".join(s)


def crystal_ball():
    y = HOLD_Y + 2
    s = []
    s.append(f'<path d="M{CX - 12},{y + 14} L{CX + 12},{y + 14} L{CX + 8},{y + 7} L{CX - 8},{y + 7} Z" fill="#e9c46a" stroke="{INK}" stroke-width="1.6" stroke-linejoin="round"/>')
    s.append(f'<circle cx="{CX}" cy="{y - 4}" r="13" fill="#a5d8ff" stroke="{INK}" stroke-width="{SW}"/>')
    s.append(f'<circle cx="{CX}" cy="{y - 4}" r="8" fill="#d0ebff"/>')
    s.append(f'<ellipse cx="{CX - 5}" cy="{y - 9}" rx="3.2" ry="2.2" fill="#ffffff"/>')
    s.append(f'<path d="{sparkle_path(CX + 4, y - 2, 3.5)}" fill="#ffffff"/>')
    return "\n".join(s)


def magnifier():
    # held up in the right hand by the "point" pose
    hx, hy = SHOULDER_R[0] + 16, SHOULDER_R[1] - 14
    lx, ly = hx + 2, hy - 18
    s = []
    s.append(f'<path d="M{hx},{hy} L{lx},{ly + 9}" stroke="{INK}" stroke-width="6" stroke-linecap="round"/>')
    s.append(f'<path d="M{hx},{hy} L{lx},{ly + 9}" stroke="{WOOD}" stroke-width="3.4" stroke-linecap="round"/>')
    s.append(f'<circle cx="{lx}" cy="{ly}" r="10" fill="#d0ebff" fill-opacity="0.75" stroke="{INK}" stroke-width="3.4"/>')
    s.append(f'<circle cx="{lx}" cy="{ly}" r="10" fill="none" stroke="#adb5bd" stroke-width="1.4"/>')
    s.append(f'<path d="M{lx - 5},{ly - 3} Q{lx - 4},{ly - 6} {lx - 1},{ly - 6}" fill="none" stroke="#ffffff" stroke-width="1.8" stroke-linecap="round"/>')
    return "\n".join(s)


def trumpet():
    # held to the mouth, bell pointing up and to the viewer's right
    mx, my = MOUTH_C
    s = []
    x0, y0 = mx + 2, my + 2
    x1, y1 = mx + 34, my - 16
    s.append(f'<path d="M{x0},{y0} L{x1},{y1}" stroke="{INK}" stroke-width="6.4" stroke-linecap="round"/>')
    s.append(f'<path d="M{x0},{y0} L{x1},{y1}" stroke="#fab005" stroke-width="3.4" stroke-linecap="round"/>')
    # the bell
    d = f"M{x1 - 2},{y1 - 1} L{x1 + 12},{y1 - 16} Q{x1 + 18},{y1 - 4} {x1 + 20},{y1 + 4} Z"
    s.append(f'<path d="{d}" fill="#fcc419" stroke="{INK}" stroke-width="{SW}" stroke-linejoin="round"/>')
    s.append(f'<ellipse cx="{x1 + 16}" cy="{y1 - 6}" rx="3.5" ry="10.5" transform="rotate(-32 {x1 + 16} {y1 - 6})" fill="#fab005" stroke="{INK}" stroke-width="{SW}"/>')
    s.append(f'<circle cx="{x0 + 14}" cy="{y0 - 8}" r="2.4" fill="#fab005" stroke="{INK}" stroke-width="1.2"/>')
    s.append(f'<circle cx="{x0 + 19}" cy="{y0 - 11}" r="2.4" fill="#fab005" stroke="{INK}" stroke-width="1.2"/>')
    return "\n".join(s)


def notes():
    # music notes blown out of the trumpet
    s = []
    for (x, y, r) in [(CX + 62, 52, 1.0), (CX + 74, 70, 0.85)]:
        s.append(f'<ellipse cx="{x}" cy="{y}" rx="{4 * r}" ry="{3 * r}" fill="{INK}" transform="rotate(-20 {x} {y})"/>')
        s.append(f'<path d="M{f(x + 3.6 * r)},{y} L{f(x + 3.6 * r)},{f(y - 14 * r)} L{f(x + 8 * r)},{f(y - 10 * r)}" fill="none" stroke="{INK}" stroke-width="1.8" stroke-linejoin="round"/>')
    return "\n".join(s)


def bulb():
    x, y = CX + 34, 26
    s = []
    s.append(f'<g stroke="{STAR}" stroke-width="2.4" stroke-linecap="round">')
    for a in range(-90 - 70, -90 + 71, 35):
        r = math.radians(a)
        s.append(f'<path d="M{f(x + 15 * math.cos(r))},{f(y + 15 * math.sin(r))} L{f(x + 21 * math.cos(r))},{f(y + 21 * math.sin(r))}"/>')
    s.append("</g>")
    s.append(f'<circle cx="{x}" cy="{y}" r="10" fill="#fff3a0" stroke="{INK}" stroke-width="{SW}"/>')
    s.append(f'<rect x="{x - 5}" y="{y + 8}" width="10" height="8" rx="1.5" fill="#adb5bd" stroke="{INK}" stroke-width="1.6"/>')
    s.append(f'<path d="M{x - 5},{y + 11} L{x + 5},{y + 11} M{x - 5},{y + 14} L{x + 5},{y + 14}" stroke="{INK}" stroke-width="1"/>')
    s.append(f'<path d="M{x - 3},{y + 7} L{x - 3},{y + 1} Q{x},{y - 4} {x + 3},{y + 1} L{x + 3},{y + 7}" fill="none" stroke="#f08c00" stroke-width="1.3"/>')
    s.append(f'<ellipse cx="{x - 4}" cy="{y - 4}" rx="2.4" ry="3.2" fill="#ffffff"/>')
    return "\n".join(s)


def sparkles():
    s = []
    for (x, y, r, c) in [(CX - 52, 60, 7, STAR), (CX + 50, 40, 8, STAR), (CX - 42, 36, 5, "#ffffff"),
                         (CX + 58, 96, 6, "#ffffff"), (CX - 58, 110, 6, STAR), (CX + 44, 130, 5, STAR),
                         (CX - 26, 26, 4.5, STAR), (CX + 30, 22, 4, "#ffffff")]:
        s.append(f'<path d="{sparkle_path(x, y, r)}" fill="{c}" stroke="{INK}" stroke-width="1" stroke-linejoin="round"/>')
    return "\n".join(s)


def puff():
    # a soft cloud around the robe: shown when Merlin pops in or out
    s = []
    blobs = [(CX - 34, 150, 18), (CX, 158, 20), (CX + 34, 150, 18), (CX - 46, 128, 14), (CX + 46, 128, 14),
             (CX - 22, 132, 16), (CX + 22, 132, 16), (CX, 138, 17)]
    for (x, y, r) in blobs:
        s.append(f'<circle cx="{x}" cy="{y}" r="{r + 1.8}" fill="{INK}"/>')
    for (x, y, r) in blobs:
        s.append(f'<circle cx="{x}" cy="{y}" r="{r}" fill="#e7e3ff"/>')
    for (x, y, r) in blobs[:3]:
        s.append(f'<circle cx="{x - 4}" cy="{y - 5}" r="{r * 0.45}" fill="#ffffff"/>')
    return "\n".join(s)


def question():
    x, y = CX + 40, 30
    d = (f"M{x - 6},{y - 4} Q{x - 6},{y - 12} {x},{y - 12} Q{x + 7},{y - 12} {x + 7},{y - 5} "
         f"Q{x + 7},{y} {x + 1},{y + 2} L{x + 1},{y + 6}")
    return (f'<path d="{d}" fill="none" stroke="{INK}" stroke-width="6" stroke-linecap="round" stroke-linejoin="round"/>\n'
            f'<path d="{d}" fill="none" stroke="#ff922b" stroke-width="3.2" stroke-linecap="round" stroke-linejoin="round"/>\n'
            f'<circle cx="{x + 1}" cy="{y + 12}" r="3.2" fill="#ff922b" stroke="{INK}" stroke-width="1.4"/>')


def exclaim():
    x, y = CX - 40, 28
    return (f'<path d="M{x - 3},{y - 13} L{x + 3},{y - 13} L{x + 1.5},{y + 5} L{x - 1.5},{y + 5} Z" fill="#fa5252" stroke="{INK}" stroke-width="1.6" stroke-linejoin="round"/>\n'
            f'<circle cx="{x}" cy="{y + 11}" r="3" fill="#fa5252" stroke="{INK}" stroke-width="1.4"/>')


def zzz():
    s = []
    for (x, y, sz) in [(CX + 30, 54, 7), (CX + 42, 40, 9), (CX + 56, 22, 11)]:
        d = f"M{x},{y} L{x + sz},{y} L{x},{y + sz} L{x + sz},{y + sz}"
        s.append(f'<path d="{d}" fill="none" stroke="{INK}" stroke-width="4" stroke-linecap="round" stroke-linejoin="round"/>')
        s.append(f'<path d="{d}" fill="none" stroke="#74c0fc" stroke-width="2" stroke-linecap="round" stroke-linejoin="round"/>')
    return "\n".join(s)


def tear():
    x, y = EYE_L[0] - 2, EYE_L[1] + 6
    return (f'<path d="M{x},{y} Q{x - 3.5},{y + 6} {x},{y + 8} Q{x + 3.5},{y + 6} {x},{y} Z" fill="#74c0fc" '
            f'stroke="{INK}" stroke-width="1.1"/>')


def hearts():
    s = []
    for (x, y, r) in [(CX - 44, 56, 1.0), (CX + 46, 48, 0.8)]:
        d = (f"M{x},{f(y + 6 * r)} C{f(x - 9 * r)},{f(y)} {f(x - 5 * r)},{f(y - 7 * r)} {x},{f(y - 3 * r)} "
             f"C{f(x + 5 * r)},{f(y - 7 * r)} {f(x + 9 * r)},{y} {x},{f(y + 6 * r)} Z")
        s.append(f'<path d="{d}" fill="#ff6b9a" stroke="{INK}" stroke-width="1.4" stroke-linejoin="round"/>')
    return "\n".join(s)


# ----------------------------------------------------------------------------------------------

def main():
    w(f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" width="{FRAME_W}" '
      f'height="{FRAME_H}" viewBox="0 0 {FRAME_W} {FRAME_H}">')
    w("<title>Merlin</title>")
    w("<!-- Generated by tools/merlin/art.py: edit that script, not this file. -->")
    group("robe", robe())
    group("head", head())
    for k in ("open", "closed", "left", "right", "up", "down", "wide", "happy", "half"):
        group(f"eyes-{k}", eyes(k))
    for k in ("neutral", "raised", "sad", "frown", "puzzled"):
        group(f"brows-{k}", brows(k))
    for k in ("closed", "wide1", "wide2", "wide3", "wide4", "medium", "narrow", "smile", "grin", "sad", "o", "wavy"):
        group(f"mouth-{k}", mouth(k))
    group("hat", hat())
    for side, name in ((-1, "left"), (1, "right")):
        for pose in ("down", "up", "out", "hold", "ear", "beard", "point", "hip", "palm", "write", "grip", "trumpet", "wand"):
            group(f"arm-{name}-{pose}", arm(side, pose))
    group("prop-book", book())
    group("prop-scroll", scroll())
    group("prop-quill", quill())
    group("prop-crystal", crystal_ball())
    group("prop-magnifier", magnifier())
    group("prop-trumpet", trumpet())
    group("prop-notes", notes())
    group("prop-bulb", bulb())
    group("prop-sparkles", sparkles())
    group("prop-puff", puff())
    group("prop-question", question())
    group("prop-exclaim", exclaim())
    group("prop-zzz", zzz())
    group("prop-tear", tear())
    group("prop-hearts", hearts())
    w("</svg>")
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    # With part names as arguments only those parts are written: a quick way to look at one pose.
    if len(sys.argv) > 1:
        ONLY = set(sys.argv[1:])
    main()
