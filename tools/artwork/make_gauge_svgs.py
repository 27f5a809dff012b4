#!/usr/bin/env python3
"""Generates the five layers of the engine-speed dial.

    python3 tools/artwork/make_gauge_svgs.py [output-dir]

The output directory defaults to src/resources/imgs next to this script's
repository root. Every layer is 210 x 210 units. The needle turns about the
pivot (0.486, 0.466) of the layer, which is also the centre of the scale, and
is drawn pointing straight up (0 degrees). Angles below are measured clockwise
from straight up, as QPainter::rotate turns the needle.

The scales agree with the gauge settings of the two ECU variants:
  2 cylinders: 0..12000 rpm onto -130..133 degrees (face 0..12)
  4 cylinders: 0..17000 rpm onto -130..149 degrees (face 0..16)

Only SVG Tiny 1.2 features are used (plain shapes, paths, text, gradients and
opacity), because that is what QtSvg renders.
"""

import math
import os
import sys

SIZE = 210.0
CX = 0.486 * SIZE  # 102.06
CY = 0.466 * SIZE  # 97.86

START_ANGLE = -130.0

# Radii of the dial, all around the pivot. The smallest distance from the
# pivot to the layer's edge is CY (97.86): the bezel stays inside it.
R_BEZEL_OUT = 97.0
R_BEZEL_IN = 89.5
R_FACE = 86.5
R_TICK_OUT = 82.0
R_MAJOR_IN = 70.0
R_MID_IN = 75.0
R_MINOR_IN = 77.5
R_RED_OUT = 82.0
R_RED_IN = 74.5
R_NUMERAL = 59.0

FONT = "DejaVu Sans, Arial, Helvetica, sans-serif"


def fmt(v):
    s = "%.2f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def polar(angle_deg, r):
    a = math.radians(angle_deg)
    return CX + r * math.sin(a), CY - r * math.cos(a)


def header():
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" '
            'xmlns:xlink="http://www.w3.org/1999/xlink" '
            'version="1.2" baseProfile="tiny" '
            'width="210" height="210" viewBox="0 0 210 210">\n')


def arc_band(a0, a1, r_out, r_in):
    """Closed path of a ring segment from angle a0 to a1 (clockwise)."""
    large = 1 if (a1 - a0) > 180 else 0
    x0, y0 = polar(a0, r_out)
    x1, y1 = polar(a1, r_out)
    x2, y2 = polar(a1, r_in)
    x3, y3 = polar(a0, r_in)
    return ("M%s,%s A%s,%s 0 %d,1 %s,%s L%s,%s A%s,%s 0 %d,0 %s,%s Z" % (
        fmt(x0), fmt(y0), fmt(r_out), fmt(r_out), large, fmt(x1), fmt(y1),
        fmt(x2), fmt(y2), fmt(r_in), fmt(r_in), large, fmt(x3), fmt(y3)))


def line(a, r0, r1, color, width, opacity=1.0):
    x0, y0 = polar(a, r0)
    x1, y1 = polar(a, r1)
    op = '' if opacity >= 1.0 else ' stroke-opacity="%s"' % fmt(opacity)
    return ('  <line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" '
            'stroke-width="%s" stroke-linecap="butt"%s/>\n' % (
                fmt(x0), fmt(y0), fmt(x1), fmt(y1), color, fmt(width), op))


def text(x, y, s, size, color, weight="bold", extra=""):
    # QtSvg has no baseline alignment: shift by about a third of the size so
    # that (x, y) is the visual centre of the digits.
    return ('  <text x="%s" y="%s" font-family="%s" font-size="%s" '
            'font-weight="%s" fill="%s" text-anchor="middle"%s>%s</text>\n' % (
                fmt(x), fmt(y + size * 0.36), FONT, fmt(size), weight, color,
                extra, s))


def face(max_label, full_scale, end_angle, red_from, minor_step):
    """A dial face labelled 0..max_label (x 1000 rpm).

    full_scale/end_angle are the gauge's maximum and end angle, so a value v
    sits at START_ANGLE + (end_angle - START_ANGLE) * v / full_scale.
    """
    span = end_angle - START_ANGLE

    def angle(v):
        return START_ANGLE + span * v / full_scale

    top = max_label * 1000
    out = [header()]
    out.append("""  <defs>
    <linearGradient id="bezelOuter" gradientUnits="userSpaceOnUse" x1="30" y1="5" x2="175" y2="195">
      <stop offset="0" stop-color="#f4f6f8"/>
      <stop offset="0.25" stop-color="#9aa1a8"/>
      <stop offset="0.5" stop-color="#3b4046"/>
      <stop offset="0.72" stop-color="#b5bcc3"/>
      <stop offset="1" stop-color="#2c3035"/>
    </linearGradient>
    <linearGradient id="bezelInner" gradientUnits="userSpaceOnUse" x1="175" y1="195" x2="30" y2="5">
      <stop offset="0" stop-color="#e8ecef"/>
      <stop offset="0.45" stop-color="#6d747b"/>
      <stop offset="1" stop-color="#1e2125"/>
    </linearGradient>
    <radialGradient id="faceFill" gradientUnits="userSpaceOnUse" cx="%(cx)s" cy="%(cy)s" r="%(rf)s" fx="%(cx)s" fy="%(fy)s">
      <stop offset="0" stop-color="#33363c"/>
      <stop offset="0.7" stop-color="#1b1d21"/>
      <stop offset="1" stop-color="#08090a"/>
    </radialGradient>
  </defs>
""" % {"cx": fmt(CX), "cy": fmt(CY), "rf": fmt(R_FACE), "fy": fmt(CY - 25)})

    # Bezel: two chrome rings with opposite light, then the dark face.
    out.append('  <circle cx="%s" cy="%s" r="%s" fill="url(#bezelOuter)"/>\n'
               % (fmt(CX), fmt(CY), fmt(R_BEZEL_OUT)))
    out.append('  <circle cx="%s" cy="%s" r="%s" fill="none" stroke="#15171a" '
               'stroke-width="0.8"/>\n' % (fmt(CX), fmt(CY), fmt(R_BEZEL_OUT - 0.4)))
    out.append('  <circle cx="%s" cy="%s" r="%s" fill="url(#bezelInner)"/>\n'
               % (fmt(CX), fmt(CY), fmt(R_BEZEL_IN)))
    out.append('  <circle cx="%s" cy="%s" r="%s" fill="url(#faceFill)" '
               'stroke="#000000" stroke-width="1"/>\n'
               % (fmt(CX), fmt(CY), fmt(R_FACE)))

    # Red zone under the ticks.
    out.append('  <path d="%s" fill="#c0150e"/>\n'
               % arc_band(angle(red_from), angle(top), R_RED_OUT, R_RED_IN))
    # A thin white arc that runs along the outer end of the ticks.
    out.append('  <path d="%s" fill="#e8e8e8"/>\n'
               % arc_band(angle(0), angle(red_from), R_TICK_OUT + 0.6, R_TICK_OUT - 0.6))

    # Ticks: majors every 1000 rpm, a medium one at every 500, minors between.
    v = 0
    while v <= top:
        a = angle(v)
        # Ticks stay white over the red band, as on most dials.
        color = "#f2f2f2"
        if v % 1000 == 0:
            out.append(line(a, R_MAJOR_IN, R_TICK_OUT, color, 2.4))
        elif v % 500 == 0:
            out.append(line(a, R_MID_IN, R_TICK_OUT, color, 1.5))
        else:
            out.append(line(a, R_MINOR_IN, R_TICK_OUT, color, 1.0, 0.85))
        v += minor_step

    # Numerals 0..max_label.
    size = 13.0 if max_label <= 12 else 11.5
    for n in range(max_label + 1):
        x, y = polar(angle(n * 1000), R_NUMERAL)
        color = "#ff4a3d" if n * 1000 >= red_from else "#f4f4f4"
        out.append(text(x, y, str(n), size, color))

    # Legends.
    out.append(text(CX, CY - 30, "RPM", 10, "#d8d8d8", "bold",
                    ' letter-spacing="1"'))
    out.append(text(CX, CY + 40, "x 1000", 9, "#bfbfbf", "normal"))
    out.append("</svg>\n")
    return "".join(out)


# Needle outline, pointing up, in coordinates relative to the pivot.
NEEDLE = [(0.0, -80.0), (1.3, -74.0), (3.4, 0.0), (4.6, 20.0), (-4.6, 20.0),
          (-3.4, 0.0), (-1.3, -74.0)]


def needle_path(grow=0.0):
    pts = []
    for x, y in NEEDLE:
        # Grow the outline a little for the soft edge of the shadow.
        gx = x + (grow if x > 0 else -grow if x < 0 else 0.0)
        gy = y - grow if y < 0 else y + grow
        pts.append("%s,%s" % (fmt(CX + gx), fmt(CY + gy)))
    return "M" + " L".join(pts) + " Z"


def needle():
    out = [header()]
    out.append("""  <defs>
    <linearGradient id="needleFill" gradientUnits="userSpaceOnUse" x1="%(l)s" y1="0" x2="%(r)s" y2="0">
      <stop offset="0" stop-color="#ff7a3c"/>
      <stop offset="0.5" stop-color="#ff4a08"/>
      <stop offset="0.51" stop-color="#cf3400"/>
      <stop offset="1" stop-color="#a02600"/>
    </linearGradient>
    <radialGradient id="hubFill" gradientUnits="userSpaceOnUse" cx="%(hx)s" cy="%(hy)s" r="11" fx="%(fx)s" fy="%(fy)s">
      <stop offset="0" stop-color="#8c939a"/>
      <stop offset="0.55" stop-color="#2f3338"/>
      <stop offset="1" stop-color="#0c0d0f"/>
    </radialGradient>
    <linearGradient id="hubRim" gradientUnits="userSpaceOnUse" x1="%(l2)s" y1="%(t2)s" x2="%(r2)s" y2="%(b2)s">
      <stop offset="0" stop-color="#e6e9ec"/>
      <stop offset="1" stop-color="#3a3e43"/>
    </linearGradient>
  </defs>
""" % {"l": fmt(CX - 4), "r": fmt(CX + 4), "hx": fmt(CX), "hy": fmt(CY),
       "fx": fmt(CX - 3), "fy": fmt(CY - 3), "l2": fmt(CX - 9), "t2": fmt(CY - 9),
       "r2": fmt(CX + 9), "b2": fmt(CY + 9)})
    out.append('  <path d="%s" fill="url(#needleFill)" stroke="#5a1800" '
               'stroke-width="0.4" stroke-linejoin="round"/>\n' % needle_path())
    out.append('  <circle cx="%s" cy="%s" r="9.5" fill="url(#hubRim)"/>\n'
               % (fmt(CX), fmt(CY)))
    out.append('  <circle cx="%s" cy="%s" r="8" fill="url(#hubFill)"/>\n'
               % (fmt(CX), fmt(CY)))
    out.append('  <circle cx="%s" cy="%s" r="1.6" fill="#1a1c1f" '
               'stroke="#7d848b" stroke-width="0.5"/>\n' % (fmt(CX), fmt(CY)))
    out.append("</svg>\n")
    return "".join(out)


def needle_shadow():
    out = [header()]
    # Two stacked outlines fake a soft edge: a wider faint one, a core.
    out.append('  <path d="%s" fill="#000000" fill-opacity="0.16" '
               'stroke="#000000" stroke-opacity="0.10" stroke-width="2" '
               'stroke-linejoin="round"/>\n' % needle_path(1.2))
    out.append('  <path d="%s" fill="#000000" fill-opacity="0.28"/>\n'
               % needle_path())
    out.append('  <circle cx="%s" cy="%s" r="10.5" fill="#000000" '
               'fill-opacity="0.22"/>\n' % (fmt(CX), fmt(CY)))
    out.append('  <circle cx="%s" cy="%s" r="9" fill="#000000" '
               'fill-opacity="0.2"/>\n' % (fmt(CX), fmt(CY)))
    out.append("</svg>\n")
    return "".join(out)


def overlay():
    # Glass reflection over the upper-left half of the face: the face's
    # circle from lower left over the top to the right, closed by a curve
    # sagging across the middle.
    r = R_FACE - 1.0
    x0, y0 = polar(-115.0, r)
    x1, y1 = polar(70.0, r)
    cx1, cy1 = CX + 10.0, CY - 5.0
    out = [header()]
    out.append("""  <defs>
    <linearGradient id="glass" gradientUnits="userSpaceOnUse" x1="%s" y1="%s" x2="%s" y2="%s">
      <stop offset="0" stop-color="#ffffff" stop-opacity="0.38"/>
      <stop offset="0.5" stop-color="#ffffff" stop-opacity="0.12"/>
      <stop offset="1" stop-color="#ffffff" stop-opacity="0"/>
    </linearGradient>
    <radialGradient id="vignette" gradientUnits="userSpaceOnUse" cx="%s" cy="%s" r="%s">
      <stop offset="0.8" stop-color="#000000" stop-opacity="0"/>
      <stop offset="1" stop-color="#000000" stop-opacity="0.35"/>
    </radialGradient>
  </defs>
""" % (fmt(CX - 32), fmt(CY - 78), fmt(CX + 3), fmt(CY + 2),
       fmt(CX), fmt(CY), fmt(R_FACE)))
    out.append('  <circle cx="%s" cy="%s" r="%s" fill="url(#vignette)"/>\n'
               % (fmt(CX), fmt(CY), fmt(R_FACE)))
    out.append('  <path d="M%s,%s A%s,%s 0 0,1 %s,%s Q%s,%s %s,%s Z" '
               'fill="url(#glass)"/>\n' % (
                   fmt(x0), fmt(y0), fmt(r), fmt(r), fmt(x1), fmt(y1),
                   fmt(cx1), fmt(cy1), fmt(x0), fmt(y0)))
    out.append("</svg>\n")
    return "".join(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.join(here, "..", "..", "src", "resources", "imgs")
    out_dir = sys.argv[1] if len(sys.argv) > 1 else default_out
    os.makedirs(out_dir, exist_ok=True)
    files = {
        # 2 cylinders: gauge 0..12000 onto -130..133.
        "RPMbackground12000.svg": face(12, 12000.0, 133.0, 10000, 250),
        # 4 cylinders: gauge 0..17000 onto -130..149, labels up to 16.
        "RPMbackground16000.svg": face(16, 17000.0, 149.0, 14000, 500),
        "RPMneedle.svg": needle(),
        "RPMneedle_shadow.svg": needle_shadow(),
        "RPMoverlay.svg": overlay(),
    }
    for name, content in files.items():
        with open(os.path.join(out_dir, name), "w", encoding="utf-8") as f:
            f.write(content)
        print(os.path.normpath(os.path.join(out_dir, name)))


if __name__ == "__main__":
    main()
