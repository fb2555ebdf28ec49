#!/usr/bin/python3
"""Draws the editor's artwork into Resources/.

Run: /usr/bin/python3 tools/make_artwork.py [output-folder]   (default: Resources/)

Produces two 8-bit PNG files with pycairo (Debian's python3-cairo) and the
FreeSans face (fonts-freefont-ttf):

* Tavelo_sfondo.png - the faceplate, EDITOR_W x EDITOR_H pixels, 8-bit RGB.
  Its pixel size is the editor's size, so every control rectangle of the main
  view must fit inside it. The labels are painted where the controls sit:
  the five knobs have their tops at y = 455 and their lefts at
  KNOB_LEFTS; each knob gets a recessed ring behind it and its name painted
  just below its rectangle; the readout window is painted at 322,428-510,443;
  the Sound menu slot at 14,14-270,34 and the Pickup menu slot at 6,420-165,440,
  each with a small caption next to it. The product name "Tavelo1" and the
  maker "Quorva" sit on the top band.

* Chicken_head.png - the knob film strip, KNOB_W pixels wide, FRAMES x KNOB_H
  pixels high, 8-bit RGBA: FRAMES = 131 equal frames stacked top to bottom.
  Frame i shows the pointer at value i / 130, so the first frame is 0.0 and the
  last 1.0. The pointer sweeps 300 degrees, from 7 o'clock (0.0) clockwise to
  5 o'clock (1.0). The knob body is identical in every frame; only the
  pointer turns, so two frames differ only inside the knob's circle.

The drawing is fully determined by the constants below (no randomness except a
fixed-seed tolex grain), so re-running the script reproduces the files.
"""
import math
import os
import random
import sys

import cairo

EDITOR_W = 700
EDITOR_H = 560
KNOB_W = 60
KNOB_H = 60
FRAMES = 131
KNOB_TOP = 455
# Left edges and labels of the knobs in the order they appear on the panel.
KNOBS = [
    (63, "GAIN"),
    (196, "TONE"),
    (352, "TREMOLO"),
    (483, "SPEED"),
    (614, "VOLUME"),
]
READOUT = (322, 428, 510, 443)
SOUND_MENU = (14, 14, 270, 34)
PICKUP_MENU = (6, 420, 165, 440)
PANEL_TOP = 410
FACE = "FreeSans"


def rounded_rect(cr, x0, y0, x1, y1, r):
    cr.new_sub_path()
    cr.arc(x1 - r, y0 + r, r, -math.pi / 2, 0)
    cr.arc(x1 - r, y1 - r, r, 0, math.pi / 2)
    cr.arc(x0 + r, y1 - r, r, math.pi / 2, math.pi)
    cr.arc(x0 + r, y0 + r, r, math.pi, 1.5 * math.pi)
    cr.close_path()


def centred_text(cr, text, cx, baseline, size, rgb, bold=False):
    cr.select_font_face(FACE, cairo.FONT_SLANT_NORMAL,
                        cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    cr.set_font_size(size)
    ext = cr.text_extents(text)
    cr.move_to(cx - ext.x_advance / 2, baseline)
    cr.set_source_rgb(*rgb)
    cr.show_text(text)


def slot(cr, rect, caption, caption_xy, caption_rgb=(0.85, 0.8, 0.65)):
    """A recessed dark slot where a menu or the readout is drawn."""
    x0, y0, x1, y1 = rect
    rounded_rect(cr, x0 - 2, y0 - 2, x1 + 2, y1 + 2, 4)
    cr.set_source_rgb(0.05, 0.05, 0.05)
    cr.fill_preserve()
    cr.set_source_rgb(0.55, 0.5, 0.4)
    cr.set_line_width(1)
    cr.stroke()
    if caption:
        cr.select_font_face(FACE, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
        cr.set_font_size(9)
        cr.move_to(*caption_xy)
        cr.set_source_rgb(*caption_rgb)
        cr.show_text(caption)


def draw_background(path):
    surf = cairo.ImageSurface(cairo.FORMAT_RGB24, EDITOR_W, EDITOR_H)
    cr = cairo.Context(surf)
    # Tolex: dark brown with a fixed-seed grain.
    cr.set_source_rgb(0.16, 0.11, 0.08)
    cr.paint()
    rng = random.Random(1417)
    for _ in range(9000):
        x = rng.uniform(0, EDITOR_W)
        y = rng.uniform(0, EDITOR_H)
        g = rng.uniform(-0.04, 0.04)
        cr.set_source_rgb(0.16 + g, 0.11 + g, 0.08 + g)
        cr.rectangle(x, y, 2, 1)
        cr.fill()

    # Grille cloth between the top band and the control panel.
    gx0, gy0, gx1, gy1 = 30, 70, EDITOR_W - 30, PANEL_TOP - 20
    rounded_rect(cr, gx0, gy0, gx1, gy1, 14)
    cr.set_source_rgb(0.62, 0.55, 0.42)
    cr.fill()
    cr.save()
    rounded_rect(cr, gx0, gy0, gx1, gy1, 14)
    cr.clip()
    cr.set_line_width(1)
    for k in range(-(gy1 - gy0), gx1 - gx0, 6):
        cr.move_to(gx0 + k, gy0)
        cr.line_to(gx0 + k + (gy1 - gy0), gy1)
        cr.move_to(gx0 + k + (gy1 - gy0), gy0)
        cr.line_to(gx0 + k, gy1)
    cr.set_source_rgba(0.35, 0.3, 0.22, 0.55)
    cr.stroke()
    cr.restore()
    rounded_rect(cr, gx0, gy0, gx1, gy1, 14)
    cr.set_source_rgb(0.85, 0.8, 0.65)
    cr.set_line_width(3)
    cr.stroke()

    # Badge with the product and maker names on the grille.
    bx0, by0, bx1, by1 = EDITOR_W / 2 - 120, 190, EDITOR_W / 2 + 120, 280
    rounded_rect(cr, bx0, by0, bx1, by1, 10)
    cr.set_source_rgb(0.12, 0.08, 0.06)
    cr.fill_preserve()
    cr.set_source_rgb(0.85, 0.8, 0.65)
    cr.set_line_width(2)
    cr.stroke()
    centred_text(cr, "Tavelo1", EDITOR_W / 2, 245, 44, (0.93, 0.88, 0.72), bold=True)
    centred_text(cr, "Quorva", EDITOR_W / 2, 270, 15, (0.8, 0.72, 0.55))

    # Top band: the Sound menu slot and the maker's name.
    slot(cr, SOUND_MENU, "MICROPHONE", (SOUND_MENU[0] + 2, SOUND_MENU[3] + 14))
    cr.select_font_face(FACE, cairo.FONT_SLANT_ITALIC, cairo.FONT_WEIGHT_BOLD)
    cr.set_font_size(22)
    ext = cr.text_extents("Quorva")
    cr.move_to(EDITOR_W - 24 - ext.x_advance, 34)
    cr.set_source_rgb(0.85, 0.8, 0.65)
    cr.show_text("Quorva")

    # Control panel: a brushed plate across the bottom.
    grad = cairo.LinearGradient(0, PANEL_TOP, 0, EDITOR_H)
    grad.add_color_stop_rgb(0, 0.78, 0.74, 0.64)
    grad.add_color_stop_rgb(1, 0.55, 0.52, 0.45)
    cr.rectangle(0, PANEL_TOP, EDITOR_W, EDITOR_H - PANEL_TOP)
    cr.set_source(grad)
    cr.fill()
    cr.set_source_rgb(0.3, 0.27, 0.22)
    cr.set_line_width(2)
    cr.move_to(0, PANEL_TOP + 1)
    cr.line_to(EDITOR_W, PANEL_TOP + 1)
    cr.stroke()

    slot(cr, PICKUP_MENU, "PICKUP", (PICKUP_MENU[2] + 8, PICKUP_MENU[3] - 6), (0.12, 0.1, 0.08))
    slot(cr, READOUT, None, None)

    for left, label in KNOBS:
        cx = left + KNOB_W / 2
        cy = KNOB_TOP + KNOB_H / 2
        # Recessed ring and a value scale around the knob's rectangle.
        cr.arc(cx, cy, KNOB_W / 2 + 3, 0, 2 * math.pi)
        cr.set_source_rgb(0.25, 0.22, 0.18)
        cr.fill()
        cr.set_line_width(1.5)
        cr.set_source_rgb(0.2, 0.17, 0.13)
        for t in range(11):
            a = math.radians(-150 + 30 * t) - math.pi / 2
            r0, r1 = KNOB_W / 2 + 5, KNOB_W / 2 + 9
            cr.move_to(cx + r0 * math.cos(a), cy + r0 * math.sin(a))
            cr.line_to(cx + r1 * math.cos(a), cy + r1 * math.sin(a))
            cr.stroke()
        centred_text(cr, label, cx, KNOB_TOP + KNOB_H + 22, 12, (0.12, 0.1, 0.08), bold=True)

    surf.write_to_png(path)


def draw_knob_strip(path):
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, KNOB_W, KNOB_H * FRAMES)
    cr = cairo.Context(surf)
    radius = KNOB_W / 2 - 2
    for i in range(FRAMES):
        value = i / (FRAMES - 1)
        cx = KNOB_W / 2
        cy = i * KNOB_H + KNOB_H / 2
        # Body: a dark ribbed cap with a soft highlight.
        grad = cairo.RadialGradient(cx - radius / 3, cy - radius / 3, 1, cx, cy, radius)
        grad.add_color_stop_rgb(0, 0.35, 0.33, 0.31)
        grad.add_color_stop_rgb(1, 0.07, 0.07, 0.07)
        cr.arc(cx, cy, radius, 0, 2 * math.pi)
        cr.set_source(grad)
        cr.fill()
        cr.set_line_width(1)
        cr.set_source_rgba(0, 0, 0, 0.8)
        cr.arc(cx, cy, radius, 0, 2 * math.pi)
        cr.stroke()
        cr.arc(cx, cy, radius * 0.62, 0, 2 * math.pi)
        cr.set_source_rgb(0.13, 0.12, 0.11)
        cr.fill()
        # Pointer: 300 degrees of travel, 0.0 at 7 o'clock, 1.0 at 5 o'clock.
        angle = math.radians(-150 + 300 * value) - math.pi / 2
        cr.set_line_width(3.5)
        cr.set_line_cap(cairo.LINE_CAP_ROUND)
        cr.set_source_rgb(0.95, 0.93, 0.85)
        cr.move_to(cx + radius * 0.2 * math.cos(angle), cy + radius * 0.2 * math.sin(angle))
        cr.line_to(cx + radius * 0.88 * math.cos(angle), cy + radius * 0.88 * math.sin(angle))
        cr.stroke()
    surf.write_to_png(path)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "Resources")
    os.makedirs(out, exist_ok=True)
    draw_background(os.path.join(out, "Tavelo_sfondo.png"))
    draw_knob_strip(os.path.join(out, "Chicken_head.png"))


if __name__ == "__main__":
    main()
