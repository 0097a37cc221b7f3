#!/usr/bin/env python3
"""Draws the scene's images as SVG sources and writes the mouse layout.

Writes modules/img/src/**/*.svg (rendered to PNG by the build) and
modules/qml/J2/mouselayout.mjs (canvas size, and per mouse button its view,
call-out anchor, bounds, hit area and the box its lit overlay covers), both
from the geometry below, so the pictures and the layout cannot drift apart.

    draw.py           rewrite every file
    draw.py --check   exit 1 when a committed file differs from what this
                      script draws (CI runs this)
"""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = os.path.join(HERE, "src")

# Theme colours.
WINDOW = "#181a1f"
CONTROL = "#2b2f38"
BORDER = "#3a3f4b"
TEXT = "#e9ebf0"
TEXT2 = "#9aa1ad"
HINT = "#6f7683"
ACCENT = "#19b6ff"
ACCENT_DARK = "#0a84d6"
ACCENT_LIGHT = "#8fdcff"

# The mouse picture: both views share one canvas.
MW, MH = 360, 400
GLOW = 12          # how far a highlighted button's glow reaches, in px


def fmt(v):
    """Numbers as short, stable text."""
    if isinstance(v, float):
        s = ("%.2f" % v).rstrip("0").rstrip(".")
        return "0" if s == "-0" else s
    return str(v)


def svg(w, h, body, defs="", origin=(0, 0)):
    """A w x h picture of the drawing's area from origin on."""
    head = ('<svg xmlns="http://www.w3.org/2000/svg" '
            'xmlns:xlink="http://www.w3.org/1999/xlink" '
            'width="%d" height="%d" viewBox="%d %d %d %d">\n' % (w, h, origin[0], origin[1], w, h))
    if defs:
        head += "<defs>\n%s</defs>\n" % defs
    return head + body + "</svg>\n"


def stops_of(stops):
    """(offset, colour[, opacity]) tuples as gradient stops."""
    return "".join('<stop offset="%s" stop-color="%s"%s/>' % (
        fmt(off), col, ' stop-opacity="%s"' % fmt(op[0]) if op else "") for off, col, *op in stops)


def lin(id_, x1, y1, x2, y2, stops):
    return ('<linearGradient id="%s" gradientUnits="userSpaceOnUse" x1="%s" y1="%s" x2="%s" y2="%s">%s'
            '</linearGradient>\n' % (id_, fmt(x1), fmt(y1), fmt(x2), fmt(y2), stops_of(stops)))


def rad(id_, cx, cy, r, stops):
    return ('<radialGradient id="%s" gradientUnits="userSpaceOnUse" cx="%s" cy="%s" r="%s">%s'
            '</radialGradient>\n' % (id_, fmt(cx), fmt(cy), fmt(r), stops_of(stops)))


def blur(id_, sd):
    return ('<filter id="%s" x="-50%%" y="-50%%" width="200%%" height="200%%" color-interpolation-filters="sRGB">'
            '<feGaussianBlur stdDeviation="%s"/></filter>\n' % (id_, fmt(sd)))


def glow(id_, box, sd=4.0, opacity=0.9, colour=ACCENT):
    """Soft light around the source, kept inside box so that nothing reaches
    further than the glow margin."""
    x, y, w, h = box
    return ('<filter id="%s" filterUnits="userSpaceOnUse" x="%s" y="%s" width="%s" height="%s" '
            'color-interpolation-filters="sRGB">'
            '<feGaussianBlur in="SourceAlpha" stdDeviation="%s" result="b"/>'
            '<feFlood flood-color="%s" flood-opacity="%s"/>'
            '<feComposite in2="b" operator="in" result="g"/>'
            '<feMerge><feMergeNode in="g"/><feMergeNode in="SourceGraphic"/></feMerge>'
            '</filter>\n' % (id_, fmt(x), fmt(y), fmt(w), fmt(h), fmt(sd), colour, fmt(opacity)))


def grow(rect, m):
    x, y, w, h = rect
    return (x - m, y - m, w + 2 * m, h + 2 * m)


# Hit polygons: the same outlines the drawings use, as point lists.

def cubic_points(p0, p1, p2, p3, n=12):
    pts = []
    for i in range(1, n + 1):
        t = i / n
        a, b, c, d = (1 - t) ** 3, 3 * (1 - t) ** 2 * t, 3 * (1 - t) * t * t, t ** 3
        pts.append((a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0], a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]))
    return pts


def arc_points(cx, cy, r, a0, a1, n=6):
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
             cy + r * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]


def path_points(d):
    """Points along a path made of absolute M, L, C and Z commands."""
    tokens = d.replace(",", " ").split()
    pts, i, cmd = [], 0, None
    while i < len(tokens):
        if tokens[i][0].isalpha():
            cmd, tokens[i] = tokens[i][0], tokens[i][1:]
            if not tokens[i]:
                i += 1
                continue
        nums = [float(t) for t in tokens[i:i + (6 if cmd == "C" else 2)]]
        if cmd == "C":
            pts += cubic_points(pts[-1], nums[0:2], nums[2:4], nums[4:6])
            i += 6
        else:
            pts.append(tuple(nums))
            i += 2
    return pts


def rect_points(rect):
    x, y, w, h = rect
    return [(x, y), (x + w, y), (x + w, y + h), (x, y + h)]


# ---------------------------------------------------------------------------
# The product mark: a hexagon outline around an angular R. Drawn in a
# 100 x 100 box.

def hexagon(r, cx=50, cy=50):
    pts = [(cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a)))
           for a in range(-90, 270, 60)]
    return "M" + " L".join("%s,%s" % (fmt(x), fmt(y)) for x, y in pts) + " Z"


MARK_R = ("M33,34 L39,28 L61,28 L69,36 L69,46 L62,53 L71,72 L60,72 L52,55 L43,55 L43,72 L33,72 Z "
          "M43,37 L57,37 L59.5,39.5 L59.5,43.5 L57,46 L43,46 Z")


def mark(ring, core, ring_width=9):
    return ('<path d="%s" fill="none" stroke="%s" stroke-width="%s" stroke-linejoin="round"/>'
            '<path d="%s" fill="%s" fill-rule="evenodd"/>' % (hexagon(40), ring, fmt(ring_width), MARK_R, core))


# ---------------------------------------------------------------------------
# Mouse buttons. Each has a view, bounds, a call-out anchor, a hit area and
# two drawings: the normal one, part of the base picture, and the
# highlighted one, an overlay that covers only the button and its glow.

class Button:
    def __init__(self, view, rect, anchor, normal, hl, hit=None):
        self.view, self.rect, self.anchor = view, rect, anchor
        self.normal, self.hl = normal, hl
        # The point must lie inside every polygon of hit: (name, points), the
        # name given where the polygon is long or shared.
        self.hit = hit or [(None, rect_points(rect))]

    @property
    def overlay(self):
        """The canvas box of the lit overlay: the bounds and the glow, kept
        on the canvas. Whole pixels, so that it lines up at every ratio."""
        x, y, w, h = grow(self.rect, GLOW)
        x0, y0 = max(0, x), max(0, y)
        return (x0, y0, min(MW, x + w) - x0, min(MH, y + h) - y0)


def hl_group(key, rect, inner, sd=4.0, opacity=0.9):
    """The highlighted drawing wrapped in its glow filter."""
    fid = "glow%d" % key
    defs = glow(fid, grow(rect, GLOW), sd, opacity)
    return defs, '<g filter="url(#%s)">%s</g>' % (fid, inner)


# ---------------------------------------------------------------------------
# Mouse, top view. A right-handed shell: the thumb side (left) curves in at
# the waist, the pinky side is nearly straight and swells at the rear.

TOP_BODY = ("M180,22 C214,21 249,32 261,68 C270,96 273,138 272,184 "
            "C271,228 280,284 271,322 C261,358 222,372 181,372 "
            "C140,372 106,360 97,330 C90,304 106,280 106,250 "
            "C106,220 87,198 87,154 C87,112 91,86 99,64 C111,34 146,23 180,22 Z")

SEAM_Y = 214                  # where the rear edge of the main buttons crosses the middle
SLOT = (163, 56, 34, 124, 14)  # wheel well: x, y, w, h, corner radius
GAP = 1.3                     # half the width of the seam between two parts
WHEEL = (171, 62, 18, 60)
DPI_UP = (170, 130, 20, 20)
DPI_DOWN = (170, 155, 20, 20)
LOOP = (180, 242, 10)         # centre and radius

SEAM = "M40,188 C100,194 130,214 180,214 C230,214 260,194 320,188"


def left_region():
    """Left of the centre split and the wheel well, above the seam, less
    half a seam; the body outline clips the outer side."""
    x, y, w, h, r = SLOT
    g = GAP
    sx, sy, rr, bottom, ym = x - g, y - g, r + g, y + h + g, SEAM_Y - g
    return ("M40,-10 L{c},-10 L{c},{sy} L{a},{sy} A{rr},{rr} 0 0 0 {sx},{b} "
            "L{sx},{d} A{rr},{rr} 0 0 0 {a},{bottom} L{c},{bottom} L{c},{ym} "
            "C130,{ym} 100,{q} 40,{p} Z").format(
        c=fmt(180 - g), sy=fmt(sy), a=fmt(sx + rr), rr=fmt(rr), sx=fmt(sx),
        b=fmt(sy + rr), d=fmt(bottom - rr), bottom=fmt(bottom), ym=fmt(ym),
        q=fmt(194 - g), p=fmt(188 - g))


def left_region_points():
    """left_region() as a polygon."""
    x, y, w, h, r = SLOT
    g = GAP
    sx, sy, rr, bottom, ym = x - g, y - g, r + g, y + h + g, SEAM_Y - g
    pts = [(40, -10), (180 - g, -10), (180 - g, sy)]
    pts += arc_points(sx + rr, sy + rr, rr, -90, -180)
    pts += arc_points(sx + rr, bottom - rr, rr, 180, 90)
    pts += [(180 - g, bottom), (180 - g, ym)]
    pts += cubic_points((180 - g, ym), (130, ym), (100, 194 - g), (40, 188 - g))
    return pts


def top_defs():
    d = ""
    d += '<clipPath id="tBody"><path d="%s"/></clipPath>\n' % TOP_BODY
    d += '<clipPath id="tLeft"><path d="%s"/></clipPath>\n' % left_region()
    d += ('<clipPath id="tRight"><path transform="translate(360,0) scale(-1,1)" d="%s"/></clipPath>\n'
          % left_region())
    d += lin("tShell", 87, 0, 272, 0, [(0, "#23262c"), (0.4, "#3a3f49"), (0.62, "#363a44"), (1, "#202329")])
    d += lin("tRim", 90, 30, 260, 360, [(0, "#a4adbd", 0.7), (0.5, "#a4adbd", 0.2), (1, "#a4adbd", 0.12)])
    d += blur("tSoft", 16)
    d += blur("tEdge", 7)
    d += blur("tShadow", 6)
    d += blur("tAO", 2.5)
    d += ('<pattern id="tTexture" patternUnits="userSpaceOnUse" width="4" height="4" patternTransform="rotate(45)">'
          '<rect width="4" height="4" fill="#1d1f24"/><rect width="1.6" height="4" fill="#2a2d34"/></pattern>\n')
    d += lin("tGripFade", 0, 206, 0, 352, [(0, "#ffffff", 0), (0.2, "#ffffff", 1), (0.75, "#ffffff", 1), (1, "#ffffff", 0)])
    d += ('<mask id="tGripMask" maskUnits="userSpaceOnUse" x="0" y="0" width="360" height="400">'
          '<rect x="0" y="200" width="360" height="160" fill="url(#tGripFade)"/></mask>\n')
    d += lin("tHlShell", 0, 30, 0, 230, [(0, "#29b9ff"), (0.55, "#1196e6"), (1, "#0a6db3")])
    # The shell's whole look, reused clipped to each main button.
    d += ('<g id="tSurface"><path d="%s" fill="url(#tShell)"/>'
          '<ellipse cx="172" cy="282" rx="58" ry="70" fill="#ffffff" opacity="0.1" filter="url(#tSoft)"/>'
          '<ellipse cx="134" cy="112" rx="26" ry="58" fill="#ffffff" opacity="0.09" filter="url(#tSoft)"/>'
          '<ellipse cx="226" cy="112" rx="24" ry="58" fill="#ffffff" opacity="0.07" filter="url(#tSoft)"/>'
          '<path d="%s" fill="none" stroke="#07080a" stroke-width="24" opacity="0.75" filter="url(#tEdge)"/>'
          '<path d="%s" fill="none" stroke="url(#tRim)" stroke-width="2"/></g>\n'
          % (TOP_BODY, TOP_BODY, TOP_BODY))
    # Wheel and DPI button parts.
    wx, wy, ww, wh = WHEEL
    d += '<clipPath id="tWheelClip"><rect x="%s" y="%s" width="%s" height="%s" rx="7"/></clipPath>\n' % WHEEL
    d += lin("tWheel", 0, wy, 0, wy + wh, [(0, "#0e0f12"), (0.5, "#3b3f48"), (1, "#0e0f12")])
    d += lin("tWheelSide", wx, 0, wx + ww, 0, [(0, "#000000", 0.55), (0.3, "#000000", 0), (0.7, "#000000", 0), (1, "#000000", 0.6)])
    d += lin("tWheelHl", 0, wy, 0, wy + wh, [(0, "#0b72b8"), (0.5, "#7adcff"), (1, "#0b72b8")])
    d += lin("tKey", 0, 128, 0, 178, [(0, "#3a3f49"), (1, "#23262d")])
    d += lin("tKeyHl", 0, 128, 0, 178, [(0, "#5fd2ff"), (1, "#0a84d6")])
    d += rad("tLoop", 176, 236, 14, [(0, "#3d424c"), (1, "#23262d")])
    d += rad("tLoopHl", 176, 236, 14, [(0, "#6fd6ff"), (1, "#0a84d6")])
    return d


def top_main(side):
    """Left (side 'L') or right ('R') main button, normal look."""
    clip = "tLeft" if side == "L" else "tRight"
    return ('<g clip-path="url(#tBody)"><g clip-path="url(#%s)"><use xlink:href="#tSurface"/>'
            '<rect x="0" y="0" width="360" height="240" fill="#ffffff" opacity="0.025"/>'
            '<path d="%s"%s fill="none" stroke="#000000" stroke-width="7" opacity="0.45" filter="url(#tAO)"/>'
            '</g></g>' % (clip, left_region(), "" if side == "L" else ' transform="translate(360,0) scale(-1,1)"'))


def top_main_hl(side):
    clip = "tLeft" if side == "L" else "tRight"
    region = left_region()
    tf = "" if side == "L" else ' transform="translate(360,0) scale(-1,1)"'
    return ('<g clip-path="url(#tBody)"><g clip-path="url(#%s)">'
            '<rect x="0" y="0" width="360" height="240" fill="url(#tHlShell)"/>'
            '<ellipse cx="%s" cy="104" rx="26" ry="56" fill="#ffffff" opacity="0.22" filter="url(#tSoft)"/>'
            '<path d="%s" fill="none" stroke="#03243d" stroke-width="20" opacity="0.55" filter="url(#tEdge)"/>'
            '<path d="%s" fill="none" stroke="%s" stroke-width="3"/>'
            '<path d="%s"%s fill="none" stroke="%s" stroke-width="3"/>'
            '</g></g>' % (clip, 134 if side == "L" else 226, TOP_BODY, TOP_BODY, ACCENT_LIGHT,
                          region, tf, ACCENT_LIGHT))


def top_wheel(hl=False):
    x, y, w, h = WHEEL
    ridges = "".join('<line x1="%s" y1="%s" x2="%s" y2="%s"/>' % (x, fmt(y + 3.0 + i * 3.5), x + w, fmt(y + 3.0 + i * 3.5))
                     for i in range(16))
    fill = "url(#tWheelHl)" if hl else "url(#tWheel)"
    ridge = "#0a4d7a" if hl else "#08090b"
    return ('<g clip-path="url(#tWheelClip)"><rect x="%s" y="%s" width="%s" height="%s" fill="%s"/>'
            '<g stroke="%s" stroke-width="1.3" opacity="0.75">%s</g>'
            '<rect x="%s" y="%s" width="%s" height="%s" fill="url(#tWheelSide)"/></g>' % (
                x, y, w, h, fill, ridge, ridges, x, y, w, h))


def top_dpi(rect, sign, hl=False):
    x, y, w, h = rect
    cx, cy = x + w / 2, y + h / 2
    glyph = '<line x1="%s" y1="%s" x2="%s" y2="%s"/>' % (fmt(cx - 4.5), fmt(cy), fmt(cx + 4.5), fmt(cy))
    if sign == "+":
        glyph += '<line x1="%s" y1="%s" x2="%s" y2="%s"/>' % (fmt(cx), fmt(cy - 4.5), fmt(cx), fmt(cy + 4.5))
    return ('<rect x="%s" y="%s" width="%s" height="%s" rx="6" fill="%s"/>'
            '<rect x="%s" y="%s" width="%s" height="%s" rx="5.5" fill="none" stroke="%s" stroke-width="1"/>'
            '<g stroke="%s" stroke-width="1.8" stroke-linecap="round">%s</g>' % (
                x, y, w, h, "url(#tKeyHl)" if hl else "url(#tKey)",
                fmt(x + 0.5), fmt(y + 0.5), w - 1, h - 1, "#b6ecff" if hl else "#4a505c",
                "#ffffff" if hl else "#9aa1ad", glyph))


def top_loop(hl=False):
    cx, cy, r = LOOP
    a = 4.6
    x0, y0 = cx + a * math.cos(math.radians(-50)), cy + a * math.sin(math.radians(-50))
    x1, y1 = cx + a * math.cos(math.radians(-115)), cy + a * math.sin(math.radians(-115))
    stroke = "#ffffff" if hl else "#9aa1ad"
    return ('<circle cx="%s" cy="%s" r="%s" fill="%s"/>'
            '<circle cx="%s" cy="%s" r="%s" fill="none" stroke="%s" stroke-width="1"/>'
            '<path d="M%s,%s A%s,%s 0 1 1 %s,%s" fill="none" stroke="%s" stroke-width="1.7" stroke-linecap="round"/>'
            '<path d="M%s,%s l0.6,-3.6 l3.3,1.6 z" fill="%s" stroke="%s" stroke-width="0.8" stroke-linejoin="round"/>' % (
                cx, cy, r, "url(#tLoopHl)" if hl else "url(#tLoop)",
                cx, cy, fmt(r - 0.5), "#b6ecff" if hl else "#4a505c",
                fmt(x0), fmt(y0), a, a, fmt(x1), fmt(y1), stroke,
                fmt(x0 - 1.8), fmt(y0 + 1.0), stroke, stroke))


def top_base_extras():
    """Everything of the top view that is not a button."""
    x, y, w, h, r = SLOT
    g = GAP
    shadow = '<path d="%s" transform="translate(2,6)" fill="#000000" opacity="0.6" filter="url(#tShadow)"/>' % TOP_BODY
    # The shell with its side grips, and the shade under the seams.
    shell = ('<use xlink:href="#tSurface"/>'
             '<path d="%s" fill="none" stroke="url(#tTexture)" stroke-width="22" mask="url(#tGripMask)" opacity="0.9"/>'
             '<g fill="none" stroke="#000000" stroke-width="6" opacity="0.5" filter="url(#tAO)">'
             '<path d="%s"/><path d="M180,176 V216"/></g>' % (TOP_BODY, SEAM))
    seams = ('<g fill="none" stroke="#0a0b0d" stroke-width="%s">'
             '<path d="M180,0 V60"/><path d="M180,170 V216"/><path d="%s"/></g>' % (fmt(2 * g + 0.4), SEAM))
    well = ('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="#0b0c0e"/>'
            '<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="none" stroke="#000000" stroke-width="3" opacity="0.6"/>' % (
                fmt(x - g), fmt(y - g), fmt(w + 2 * g), fmt(h + 2 * g), fmt(r + g),
                fmt(x + 1), fmt(y + 1), w - 2, h - 2, r - 1))
    cx, cy, lr = LOOP
    loop_well = '<circle cx="%s" cy="%s" r="%s" fill="#0b0c0e"/>' % (cx, cy, fmt(lr + 2.2))
    logo = ('<g transform="translate(167,292) scale(0.26)">%s</g>' % mark("#2c7fae", "#5d6471", 8))
    return shadow + '<g clip-path="url(#tBody)">' + shell + seams + well + loop_well + logo + "</g>"


def top_buttons():
    body = path_points(TOP_BODY)
    left = left_region_points()
    right = [(360 - x, y) for x, y in left]
    bl = Button("top", (87, 22, 93, 194), (128, 112), top_main("L"), top_main_hl("L"), [("topShell", body), ("leftButton", left)])
    br = Button("top", (180, 22, 93, 194), (232, 112), top_main("R"), top_main_hl("R"), [("topShell", body), ("rightButton", right)])
    bw = Button("top", WHEEL, (180, 92), top_wheel(), top_wheel(True))
    bu = Button("top", DPI_UP, (180, 140), top_dpi(DPI_UP, "+"), top_dpi(DPI_UP, "+", True))
    bd = Button("top", DPI_DOWN, (180, 165), top_dpi(DPI_DOWN, "-"), top_dpi(DPI_DOWN, "-", True))
    cx, cy, r = LOOP
    bo = Button("top", (cx - r, cy - r, 2 * r, 2 * r), (cx, cy), top_loop(), top_loop(True),
                [("loopButton", arc_points(cx, cy, r, 0, 360, 16)[:-1])])
    return {1: bl, 2: br, 3: bw, 6: bu, 7: bd, 8: bo}


# ---------------------------------------------------------------------------
# Mouse, left side view: front to the left, the hump two thirds back, the
# two thumb buttons above the thumb rest.

SIDE_BODY = ("M24,258 C14,252 12,234 22,224 C60,200 118,166 196,152 "
             "C246,143 294,146 324,170 C344,188 351,220 347,244 "
             "C345,256 337,262 324,262 L38,262 C31,262 27,261 24,258 Z")
TILT = -6.0                                  # thumb buttons follow the shell's rise
FORWARD = (128, 200, 62, 17)                 # centre x, centre y, length, height
BACK = (196, 193, 62, 17)


def pill_rect(p):
    cx, cy, length, height = p
    t = math.radians(abs(TILT))
    w = length * math.cos(t) + height * math.sin(t)
    h = length * math.sin(t) + height * math.cos(t)
    x, y = math.floor(cx - w / 2), math.floor(cy - h / 2)
    return (x, y, math.ceil(cx + w / 2) - x, math.ceil(cy + h / 2) - y)


def pill(p, grow_by=0.0, **attrs):
    cx, cy, length, height = p
    length += 2 * grow_by
    height += 2 * grow_by
    extra = "".join(' %s="%s"' % (k.replace("_", "-"), v) for k, v in attrs.items())
    return '<rect x="%s" y="%s" width="%s" height="%s" rx="%s" transform="rotate(%s %s %s)"%s/>' % (
        fmt(cx - length / 2), fmt(cy - height / 2), fmt(length), fmt(height), fmt(height / 2),
        fmt(TILT), cx, cy, extra)


def side_defs():
    d = '<clipPath id="sBody"><path d="%s"/></clipPath>\n' % SIDE_BODY
    d += lin("sShell", 0, 146, 0, 262, [(0, "#444a55"), (0.35, "#343942"), (0.75, "#262930"), (1, "#18191d")])
    d += lin("sRim", 20, 0, 350, 0, [(0, "#a4adbd", 0.25), (0.55, "#a4adbd", 0.65), (1, "#a4adbd", 0.2)])
    d += lin("sGrip", 0, 208, 0, 252, [(0, "#111215"), (1, "#1d2025")])
    d += lin("sThumb", 0, 186, 0, 206, [(0, "#444954"), (0.5, "#2c3038"), (1, "#1b1d22")])
    d += lin("sThumbHl", 0, 184, 0, 208, [(0, "#6fd6ff"), (0.5, "#19b6ff"), (1, "#0a6db3")])
    d += lin("sStrip", 40, 0, 330, 0, [(0, ACCENT, 0), (0.2, ACCENT, 0.35), (0.8, ACCENT, 0.35), (1, ACCENT, 0)])
    d += blur("sSoft", 12)
    d += blur("sEdge", 6)
    d += blur("sShadow", 4)
    d += ('<pattern id="sTexture" patternUnits="userSpaceOnUse" width="5" height="5" patternTransform="rotate(35)">'
          '<rect width="5" height="5" fill="#1a1c21"/><rect width="2" height="5" fill="#24272e"/></pattern>\n')
    return d


def side_thumb(p, hl=False):
    cx, cy, length, height = p
    return '<g>%s%s%s</g>' % (
        pill(p, fill="url(#sThumbHl)" if hl else "url(#sThumb)"),
        pill(p, -0.5, fill="none", stroke="#b6ecff" if hl else "#555b67", stroke_width="1"),
        pill((cx, cy - height / 2 + 3.2, length - 16, 1.4), fill="#ffffff", opacity="0.5" if hl else "0.14"))


def side_base_extras():
    shadow = '<ellipse cx="186" cy="265" rx="168" ry="6" fill="#000000" opacity="0.7" filter="url(#sShadow)"/>'
    shell = ('<path d="%s" fill="url(#sShell)"/>'
             '<g clip-path="url(#sBody)">'
             '<ellipse cx="236" cy="168" rx="78" ry="18" fill="#ffffff" opacity="0.1" filter="url(#sSoft)"/>'
             '<path d="%s" fill="none" stroke="#07080a" stroke-width="18" opacity="0.8" filter="url(#sEdge)"/>'
             '<path d="%s" fill="none" stroke="url(#sRim)" stroke-width="2"/>'
             # left button's lower edge, and the base plate
             '<path d="M20,229 C70,207 126,177 196,161 C206,159 211,153 213,146" fill="none" stroke="#0a0b0d" stroke-width="2.2"/>'
             '<path d="M22,231 C72,209 128,179 197,163" fill="none" stroke="#5a6170" stroke-width="0.8" opacity="0.45"/>'
             '<path d="M20,251 H350" stroke="#0a0b0d" stroke-width="1.6"/>'
             '<rect x="0" y="252" width="360" height="12" fill="#121316"/>'
             '<path d="M40,254.5 H330" stroke="url(#sStrip)" stroke-width="1.6"/>'
             # thumb rest with its rubber grip
             '<path d="M62,216 C120,211 222,205 300,214 C310,229 307,243 297,247 '
             'C220,250 120,250 70,247 C58,238 57,226 62,216 Z" fill="url(#sTexture)"/>'
             '<path d="M62,216 C120,211 222,205 300,214 C310,229 307,243 297,247 '
             'C220,250 120,250 70,247 C58,238 57,226 62,216 Z" fill="url(#sGrip)" opacity="0.55"/>'
             '<path d="M62,216 C120,211 222,205 300,214" fill="none" stroke="#0a0b0d" stroke-width="1.4"/>'
             '<path d="M70,247 C120,250 220,250 297,247" fill="none" stroke="#4a505c" stroke-width="0.8" opacity="0.5"/>'
             '</g>' % (SIDE_BODY, SIDE_BODY, SIDE_BODY))
    skates = ('<rect x="44" y="261" width="40" height="3" rx="1.5" fill="#0d0e10"/>'
              '<rect x="276" y="261" width="48" height="3" rx="1.5" fill="#0d0e10"/>')
    recess = pill(FORWARD, 2.0, fill="#0a0b0d") + pill(BACK, 2.0, fill="#0a0b0d")
    return shadow + skates + shell + recess


def pill_points(p):
    cx, cy, length, height = p
    t = math.radians(TILT)
    return [(cx + dx * math.cos(t) - dy * math.sin(t), cy + dx * math.sin(t) + dy * math.cos(t))
            for dx, dy in ((-length / 2, -height / 2), (length / 2, -height / 2),
                           (length / 2, height / 2), (-length / 2, height / 2))]


def side_buttons():
    b4 = Button("side", pill_rect(BACK), (BACK[0], BACK[1]), side_thumb(BACK), side_thumb(BACK, True),
                [(None, pill_points(BACK))])
    b5 = Button("side", pill_rect(FORWARD), (FORWARD[0], FORWARD[1]),
                side_thumb(FORWARD), side_thumb(FORWARD, True), [(None, pill_points(FORWARD))])
    return {4: b4, 5: b5}


def mouse_buttons():
    """Every mouse button: key number (1 to 8) -> Button."""
    buttons = {}
    buttons.update(top_buttons())
    buttons.update(side_buttons())
    return buttons


def mouse_files():
    """Every file of the mouse section: name -> SVG text."""
    buttons = mouse_buttons()
    defs = {"top": top_defs(), "side": side_defs()}
    files = {}
    base = {"top": top_base_extras(), "side": side_base_extras()}
    for view in ("top", "side"):
        body = base[view]
        for k in sorted(buttons):
            if buttons[k].view == view:
                body += buttons[k].normal
        files[view] = svg(MW, MH, body + "\n", defs[view])
    # The lit looks, each cut to its box: the glow filter ends at the box,
    # so nothing of it is lost.
    for k, b in sorted(buttons.items()):
        gdefs, g = hl_group(k, b.rect, b.hl)
        x, y, w, h = b.overlay
        files["key%d_hl" % k] = svg(w, h, g + "\n", defs[b.view] + gdefs, (x, y))
    return files, buttons


# ---------------------------------------------------------------------------
# Window pieces and logos.

def background():
    w, h = 1024, 640
    d = rad("bgLift", 512, 250, 620, [(0, "#1e2128"), (1, WINDOW)])
    d += rad("bgGlowA", 930, 640, 460, [(0, ACCENT, 0.07), (1, ACCENT, 0)])
    d += rad("bgGlowB", 60, 0, 380, [(0, ACCENT, 0.035), (1, ACCENT, 0)])
    d += ('<pattern id="bgDots" patternUnits="userSpaceOnUse" width="16" height="16">'
          '<circle cx="8" cy="8" r="1" fill="#ffffff" opacity="0.06"/></pattern>\n')
    d += rad("bgDotFade", 512, 330, 560, [(0, "#ffffff", 1), (0.55, "#ffffff", 0.5), (1, "#ffffff", 0)])
    d += ('<mask id="bgDotMask" maskUnits="userSpaceOnUse" x="0" y="0" width="%d" height="%d">'
          '<rect width="%d" height="%d" fill="url(#bgDotFade)"/></mask>\n' % (w, h, w, h))
    body = ('<rect width="%d" height="%d" fill="url(#bgLift)"/>'
            '<rect width="%d" height="%d" fill="url(#bgDots)" mask="url(#bgDotMask)"/>'
            '<rect width="%d" height="%d" fill="url(#bgGlowA)"/>'
            '<rect width="%d" height="%d" fill="url(#bgGlowB)"/>\n' % ((w, h) * 4))
    return svg(w, h, body, d)


def titlebar():
    w, h = 1024, 48
    d = lin("tbFill", 0, 0, 0, h, [(0, "#1f2229"), (1, "#1b1d22")])
    d += lin("tbAccent", 0, 0, 420, 0, [(0, ACCENT, 0.7), (1, ACCENT, 0)])
    body = ('<rect width="%d" height="%d" fill="url(#tbFill)"/>'
            '<rect y="0" width="%d" height="1" fill="#ffffff" opacity="0.04"/>'
            '<rect y="%d" width="%d" height="1" fill="%s"/>'
            '<rect y="%d" width="420" height="1" fill="url(#tbAccent)"/>\n' % (w, h, w, h - 1, w, CONTROL, h - 1))
    return svg(w, h, body, d)


def mark_defs():
    return lin("mkRing", 0, 10, 0, 90, [(0, ACCENT_LIGHT), (0.45, ACCENT), (1, ACCENT_DARK)])


def titlelogo():
    return svg(28, 28, '<g transform="scale(0.28)">%s</g>\n' % mark("url(#mkRing)", TEXT, 10), mark_defs())


def startlogo():
    c = 120
    d = mark_defs()
    d += rad("slHalo", c, c, 112, [(0, ACCENT, 0.22), (0.6, ACCENT, 0.06), (1, ACCENT, 0)])
    d += glow("slGlow", (0, 0, 240, 240), 6, 0.65)
    ticks = ""
    for a in range(0, 360, 6):
        r0 = 100 if a % 30 else 96
        t = math.radians(a)
        ticks += '<line x1="%s" y1="%s" x2="%s" y2="%s"/>' % (
            fmt(c + r0 * math.cos(t)), fmt(c + r0 * math.sin(t)), fmt(c + 104 * math.cos(t)), fmt(c + 104 * math.sin(t)))

    def arc(r, a0, a1):
        x0, y0 = c + r * math.cos(math.radians(a0)), c + r * math.sin(math.radians(a0))
        x1, y1 = c + r * math.cos(math.radians(a1)), c + r * math.sin(math.radians(a1))
        return "M%s,%s A%s,%s 0 0 1 %s,%s" % (fmt(x0), fmt(y0), r, r, fmt(x1), fmt(y1))

    body = ('<circle cx="%d" cy="%d" r="112" fill="url(#slHalo)"/>'
            '<g stroke="%s" stroke-width="1" opacity="0.7">%s</g>'
            '<circle cx="%d" cy="%d" r="90" fill="none" stroke="%s" stroke-width="1" stroke-dasharray="2 4"/>'
            '<g fill="none" stroke="%s" stroke-width="3" stroke-linecap="round" filter="url(#slGlow)">'
            '<path d="%s"/><path d="%s"/></g>'
            '<g transform="translate(45,45) scale(1.5)" filter="url(#slGlow)">%s</g>\n' % (
                c, c, HINT, ticks, c, c, BORDER, ACCENT, arc(110, 200, 250), arc(110, 20, 70),
                mark("url(#mkRing)", TEXT, 8)))
    return svg(240, 240, body, d)


# ---------------------------------------------------------------------------
# Weapons: side silhouettes, muzzle to the right, on 160 x 64. Each is a
# list of filled parts, a list of dark detail lines and the trigger guard.

def rail(x0, x1, y, step=4):
    return " ".join("M%s,%s v2" % (fmt(float(x)), fmt(float(y))) for x in range(x0, x1, step))


GUNS = {
    "gun0": (  # M416: telescopic stock, flat-top rail, quad-rail handguard
        ["M6,20 L12,19 L36,21 L41,23 L41,31 L35,32 L22,36 L12,42 L6,43 Z",
         "M39,22.5 H50 V29.5 H39 Z",
         "M48,19 H104 V30 H48 Z",
         "M50,29 H92 L90,36 H52 Z",
         "M50,15 H124 V19 H50 Z",
         "M104,18 H128 V32 H104 Z",
         "M128,22.5 H146 V26.5 H128 Z",
         "M146,21.5 H155 V27.5 H146 Z",
         "M120,10.5 H126 V15 H120 Z", "M52,10.5 H58 V15 H52 Z",
         "M56,34 H65 L61,52 Q60,54 57,54 H51 Z",
         "M72,35 H84 L90,56 Q84,59 78,58 Z"],
        ["M68,23 H84", rail(52, 122, 15), "M108,22 H124 M108,25 H124 M108,28 H124",
         "M12,24 L34,25"],
        ["M64,36 Q66,41 72,41"]),
    "gun1": (  # AKM: fixed stock, banana magazine, gas tube, slanted brake
        ["M4,25 L38,21 L41,22 L41,31 L12,44 L4,45 Z",
         "M39,20 Q40,16.5 50,16.5 H98 V32 H39 Z",
         "M52,31 H61 L57,50 Q56,52 53,52 H46 Z",
         "M68,31 H81 Q84,46 97,55 Q93,61 86,60 Q72,49 68,31 Z",
         "M98,22 H124 Q126.5,27 124,32 H98 Z",
         "M98,18 H130 V22 H98 Z",
         "M130,12.5 H133.5 L136,24 H130 Z",
         "M124,23 H148 V26.5 H124 Z",
         "M148,21.5 H155 L157,27.5 H148 Z",
         "M94,14.5 H102 V18 H94 Z"],
        ["M44,24 H90", "M104,25 H120 M104,28.5 H120"],
        ["M63,32 Q64,38 68,38"]),
    "gun2": (  # M16A4: fixed stock, carry handle, triangular front sight
        ["M2,20 L38,22.5 V31 L2,41 Z",
         "M36,19 H92 V30 H36 Z",
         "M40,29 H84 L82,36 H42 Z",
         "M38,15 H94 V19 H38 Z",
         "M46,15 L50,7 H74 L78,15 H72 L70,11 H54 L52,15 Z",
         "M50,34 H59 L55,52 Q54,54 51,54 H45 Z",
         "M64,35 H76 L81,55 Q75,58 69,57 Z",
         "M92,18 Q98,16.5 120,18.5 V30.5 Q98,32.5 92,31 Z",
         "M117,20 L123,7 H127 L132,20 Z",
         "M120,22.5 H150 V26 H120 Z",
         "M150,21.5 H158 V27 H150 Z"],
        ["M6,24 L34,25", "M60,23 H76",
         "M97,20 V29 M102,19.5 V29.5 M107,19.5 V29.5 M112,19.5 V29.5 M117,20 V29"],
        ["M58,36 Q60,41 65,41"]),
    "gun3": (  # SCAR-L: folding stock with cheek rest, long boxy upper
        ["M6,18 H36 L42,22 V34 L30,36 L14,44 H6 Z M12,25 H30 L27,32 L15,37 H12 Z",
         "M40,16 H124 V28 H40 Z",
         "M42,12.5 H126 V16 H42 Z",
         "M46,28 H90 L88,36 H48 Z",
         "M96,28 H124 V31.5 H96 Z",
         "M54,34 H63 L59,52 Q58,54 55,54 H49 Z",
         "M70,35 H82 L87,55 Q81,58 75,57 Z",
         "M124,20 H146 V24 H124 Z",
         "M146,18.5 H155 V25.5 H146 Z",
         "M118,8.5 H123 V12.5 H118 Z", "M45,8.5 H51 V12.5 H45 Z"],
        [rail(44, 124, 12.5), "M58,21 H74", "M96,24 H122", "M98,30 H122"],
        ["M62,36 Q64,41 70,41"]),
    "gun4": (  # UMP9: skeleton stock, boxy receiver, straight magazine
        ["M10,18 H42 V34 L16,44 H10 Z M16,23 H36 V30 L18,38 H16 Z",
         "M42,17 H118 L122,21 V31 H42 Z",
         "M52,13.5 H110 V17 H52 Z",
         "M56,30 H66 L62,52 Q61,54 58,54 H51 Z",
         "M89,30 H100 L102,56 H91 Z",
         "M122,23 H140 V27 H122 Z",
         "M140,22 H148 V28 H140 Z"],
        [rail(54, 110, 13.5), "M46,21 H84", "M104,21 V29 M108,21 V29 M112,21 V29", "M90.5,40 H100.5"],
        ["M66,31 Q68,38 76,37.5 Q82,37 85,31"]),
    "gun5": (  # Thompson: wooden stock, drum magazine, finned barrel, fore grip
        ["M4,24 Q20,21.5 41,22.5 V31 L11,46 Q5,47.5 4,44 Z",
         "M39,19 H100 V31 H39 Z",
         "M42,15 H48 V19 H42 Z",
         "M50,30 H59 L56,50 Q55,53 51,53 H45 Z",
         "M98,21 H140 V28 H98 Z",
         "M100,19 H128 V30 H100 Z",
         "M140,19.5 H152 V29 H140 Z",
         "M148,15 H151 V19.5 H148 Z",
         "M106,30 H116 V49 Q111,53 106,49 Z"],
        ["M44,25 H96",
         "M103,19 V30 M106,19 V30 M109,19 V30 M112,19 V30 M115,19 V30 M118,19 V30 M121,19 V30 M124,19 V30",
         "M143,21 V27.5 M146,21 V27.5", "M107,36 H115 M107,41 H115"],
        ["M62,31.5 Q63,37 68,37"]),
}


def gun(name):
    parts, details, guards = GUNS[name]
    d = lin("gFill", 0, 6, 0, 60, [(0, "#f1f3f7"), (0.5, "#c9ced8"), (1, "#8f96a3")])
    extra = ""
    if name == "gun5":  # the drum magazine, with its winding key
        extra = ('<circle cx="82" cy="43" r="14" fill="url(#gFill)"/>'
                 '<circle cx="82" cy="43" r="9" fill="none" stroke="#1a1c21" stroke-opacity="0.45" stroke-width="1"/>'
                 '<circle cx="82" cy="43" r="2.4" fill="#1a1c21" fill-opacity="0.5"/>')
    body = ('<g fill="url(#gFill)" fill-rule="evenodd">%s</g>%s'
            '<path d="%s" fill="none" stroke="url(#gFill)" stroke-width="1.8" stroke-linecap="round"/>'
            '<path d="%s" fill="none" stroke="#1a1c21" stroke-opacity="0.45" stroke-width="1" stroke-linecap="round"/>\n' % (
                "".join('<path d="%s"/>' % p for p in parts), extra, " ".join(guards), " ".join(details)))
    return svg(160, 64, body, d)


def target():
    c, m = (80, 32), 5
    d = glow("tgGlow", (0, 0, 160, 64), 2.5, 0.8)
    ticks = "".join('<line x1="%d" y1="30" x2="%d" y2="34"/>' % (x, x) for x in range(16, 152, 8) if abs(x - 80) > 24)
    body = ('<g stroke="%s" stroke-width="1" opacity="0.9">'
            '<line x1="6" y1="32" x2="%d" y2="32"/><line x1="%d" y1="32" x2="154" y2="32"/>'
            '<line x1="80" y1="2" x2="80" y2="%d"/><line x1="80" y1="%d" x2="80" y2="62"/></g>'
            '<g stroke="%s" stroke-width="1">%s</g>'
            '<g filter="url(#tgGlow)"><circle cx="80" cy="32" r="22" fill="none" stroke="%s" stroke-width="2"/>'
            '<circle cx="80" cy="32" r="11" fill="none" stroke="%s" stroke-width="1" stroke-dasharray="3 3"/>'
            '<circle cx="80" cy="32" r="2.2" fill="%s"/></g>\n' % (
                TEXT2, c[0] - m, c[0] + m, c[1] - m, c[1] + m, HINT, ticks, ACCENT, ACCENT, ACCENT))
    return svg(160, 64, body, d)


# ---------------------------------------------------------------------------
# Output.

def layout(buttons):
    names = {1: "left", 2: "right", 3: "middle (wheel)", 4: "back (rear thumb button)",
             5: "forward (front thumb button)", 6: "DPI+", 7: "DPI-", 8: "DPI loop"}
    shared = {}   # named polygons, written once as constants

    def flat(points):
        pairs = ["%s, %s" % (fmt(round(x, 1) * 1.0), fmt(round(y, 1) * 1.0)) for x, y in points]
        lines = [", ".join(pairs[i:i + 8]) for i in range(0, len(pairs), 8)]
        return "[" + ",\n    ".join(lines) + "]"

    def poly(entry):
        name, points = entry
        if name is None:
            return flat(points)
        shared.setdefault(name, flat(points))
        return name

    def box(r):
        return "{ x: %s, y: %s, width: %s, height: %s }" % tuple(fmt(v) for v in r)

    rows = []
    for k in range(1, 9):
        b = buttons[k]
        rows.append('    { // %d %s\n'
                    '        view: "%s", anchor: { x: %s, y: %s },\n'
                    '        rect: %s,\n'
                    '        overlay: %s,\n'
                    '        hit: [%s] },'
                    % (k, names[k], b.view, fmt(b.anchor[0]), fmt(b.anchor[1]),
                       box(b.rect), box(b.overlay), ", ".join(poly(p) for p in b.hit)))
    consts = "".join("const %s = [\n    %s];\n" % (n, t[1:-1]) for n, t in shared.items())
    return ("// Geometry of the mouse picture, written by modules/img/draw.py together with\n"
            "// the images so that both agree. Canvas pixels at device pixel ratio 1; the\n"
            "// top and side pictures share this canvas, and each button's lit overlay\n"
            "// covers the part of it given as its overlay box.\n\n"
            "export const canvas = { width: %d, height: %d };\n\n"
            "// Outlines as flat lists of x, y pairs.\n%s\n"
            "// buttons[k] is button k + 1. view: the picture that shows it (\"top\" or\n"
            "// \"side\"); anchor: where a call-out line ends on it; rect: its bounds;\n"
            "// overlay: where its lit overlay (key<k + 1>_hl) goes, its bounds and glow;\n"
            "// hit: polygons a point must lie in, all of them, to be on the button.\n"
            "export const buttons = [\n%s\n];\n\n"
            "function inside(poly, x, y) {\n"
            "    let odd = false;\n"
            "    for (let i = 0, j = poly.length - 2; i < poly.length; j = i, i += 2) {\n"
            "        const xi = poly[i], yi = poly[i + 1], xj = poly[j], yj = poly[j + 1];\n"
            "        if ((yi > y) !== (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)\n"
            "            odd = !odd;\n"
            "    }\n"
            "    return odd;\n"
            "}\n\n"
            "// The index of the button under canvas point (x, y) of a view, or -1.\n"
            "export function buttonAt(view, x, y) {\n"
            "    return buttons.findIndex(b => b.view === view && b.hit.every(p => inside(p, x, y)));\n"
            "}\n" % (MW, MH, consts, "\n".join(rows)))


def all_files():
    """Every file this script writes: path relative to modules/img -> text."""
    out = {}
    out["src/background.svg"] = background()
    out["src/titlebar.svg"] = titlebar()
    out["src/titlelogo.svg"] = titlelogo()
    out["src/index/startlogo.svg"] = startlogo()
    out["src/gun/target.svg"] = target()
    for name in sorted(GUNS):
        out["src/gun/%s.svg" % name] = gun(name)
    mouse, buttons = mouse_files()
    for name, text in mouse.items():
        out["src/mouse/%s.svg" % name] = text
    out["../qml/J2/mouselayout.mjs"] = layout(buttons)
    return out


def main():
    check = "--check" in sys.argv[1:]
    stale = []
    for rel, text in sorted(all_files().items()):
        path = os.path.normpath(os.path.join(HERE, rel))
        try:
            with open(path, encoding="utf-8") as f:
                current = f.read()
        except FileNotFoundError:
            current = None
        if current == text:
            continue
        if check:
            stale.append(rel)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
    # Sources this script no longer draws would still be rendered: flag them.
    known = {os.path.normpath(os.path.join(HERE, r)) for r in all_files()}
    for root, _, names in os.walk(SRC):
        for n in names:
            p = os.path.join(root, n)
            if p not in known:
                stale.append(os.path.relpath(p, HERE) + " (not drawn by this script)")
    if stale:
        print("out of date:\n  " + "\n  ".join(stale), file=sys.stderr)
        if check:
            print("run modules/img/draw.py and commit the result", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
