#!/usr/bin/env python3
"""Draws Varnello's images: the range slider's bitmaps, the page's icons, button bitmaps,
background and welcome picture.

    res/images/make_images.py            # writes into res/images/

Pixel-exact images (the slider's) are written as PPM by this script; the drawn ones are
made with ImageMagick's `convert` (vector drawing, anti-aliased). Bitmaps are 24-bit BMP3,
icons single-size 32-bit with alpha.

Every image the page draws at a size of its own is made for four display scales: NAME.ext at
100 % (96 dpi) and NAME@125.ext, NAME@150.ext, NAME@200.ext at 125, 150 and 200 %, each
drawn anew at its size (the 100 % size times the scale, rounded as the program rounds) so
that it is as sharp as the 100 % one. The page background, stretched over the page at
every scale, and the program icon, which Windows sizes, are made at 100 % only. Bitmaps that sit on the page background use pure green
RGB(0, 255, 0) for the pixels through which the background shows; their anti-aliased edges
are blended onto the page's own colour so no green fringe remains.

The output is committed; run this again after changing a picture.
"""
import os
import subprocess
import sys
import tempfile

OUT = os.path.dirname(os.path.abspath(__file__))
TMP = tempfile.mkdtemp(prefix="varnello-images-")

# The palette the whole set shares.
NAVY = "#314261"          # caption colour of the page's buttons
NAVY_DARK = "#243350"
BLUE_TOP, BLUE_BOTTOM, BLUE_EDGE = "#5aa9ff", "#1f63c6", "#17478f"
BLUE_HOVER_TOP, BLUE_HOVER_BOTTOM = "#7fbdff", "#2f7de1"
GREEN_TOP, GREEN_BOTTOM, GREEN_EDGE = "#62c777", "#2f8f48", "#226b35"
GREEN_HOVER_TOP, GREEN_HOVER_BOTTOM = "#86dc97", "#3aab58"
RED_TOP, RED_BOTTOM, RED_EDGE = "#f07a6e", "#c9352b", "#962820"
RED_HOVER_TOP, RED_HOVER_BOTTOM = "#ff9a8f", "#de4a3e"
PAGE_BG_TOP, PAGE_BG_BOTTOM = "#f1f5fa", "#d5e1ee"
PAGE_BG_MID = "#e3ebf4"   # what a small bitmap's soft edges are blended onto
KEY_GREEN = "rgb(0,255,0)"
FONT = "DejaVu-Sans"
FONT_BOLD = "DejaVu-Sans-Bold"


# The scale being drawn, in percent, and the file name suffix of its set.
SCALE = 100
SUFFIXES = {100: "", 125: "@125", 150: "@150", 200: "@200"}


def px(n):
    """A 100 % pixel count at the current scale, rounded half up (as the program's MulDiv)."""
    return (n * SCALE + 50) // 100


def k():
    return SCALE / 100


def num(v):
    return f"{v:g}"


def pt(x, y):
    """A point of a 100 % drawing (pixel centres) at the current scale."""
    return f"{num((x + 0.5) * k() - 0.5)},{num((y + 0.5) * k() - 0.5)}"


def box(x0, y0, x1, y1):
    """The corners of a rectangle covering pixels x0..x1, y0..y1 of a 100 % drawing."""
    return f"{num(x0 * k())},{num(y0 * k())} {num((x1 + 1) * k() - 1)},{num((y1 + 1) * k() - 1)}"


def run(*args):
    subprocess.run(["convert", *args], check=True)


def tmp(name):
    return os.path.join(TMP, name)


def out(name):
    stem, ext = os.path.splitext(name)
    return os.path.join(OUT, stem + SUFFIXES[SCALE] + ext)


# --- pixel-exact bitmaps -------------------------------------------------------------------

def write_ppm(path, rows):
    """rows: list of lists of (r, g, b)."""
    h, w = len(rows), len(rows[0])
    with open(path, "w") as f:
        f.write(f"P3\n{w} {h}\n255\n")
        for row in rows:
            f.write(" ".join(f"{r} {g} {b}" for r, g, b in row) + "\n")


def ppm_to_bmp(rows, name):
    src = tmp(name + ".ppm")
    write_ppm(src, rows)
    run(src, "-type", "TrueColor", "BMP3:" + out(name))


def slider_images():
    edge, face, light = (128, 130, 132), (215, 215, 215), (255, 255, 255)
    # Lines one pixel wide at 100 % are as wide as the scale rounds to.
    line = px(1)
    track_h = px(11)
    track_rows = [edge] * line + [face] * (track_h - 3 * line) + [edge] * line + [light] * line
    ppm_to_bmp([[c] * px(6) for c in track_rows], "slider_track.bmp")

    bar_rows = [(136, 199, 255), (136, 199, 255), (134, 197, 255), (100, 169, 255),
                (92, 162, 255), (113, 180, 255), (133, 196, 255)]
    bar_h = px(7)
    ppm_to_bmp([[bar_rows[y * 7 // bar_h]] * px(3) for y in range(bar_h)], "slider_bar.bmp")

    # Thumb: frame, a grey gradient that is lightest at the top and darkest in the middle,
    # and a bracket opening toward the selection.
    w, h = px(13), px(17)
    mid = h // 2
    rows = []
    for y in range(h):
        if y <= mid:
            g = round(249 - (249 - 205) * (y / mid))
        else:
            g = round(205 + (228 - 205) * ((y - mid) / (h - 1 - mid)))
        rows.append([(g, g, g)] * w)
    for y in range(h):
        for x in range(w):
            if x < line or x >= w - line or y < line or y >= h - line:
                rows[y][x] = edge
    mark = (60, 64, 70)

    def fill(x0, x1, y0, y1, colour):  # 100 % pixel ranges, ends excluded
        for y in range(px(y0), px(y1)):
            for x in range(px(x0), px(x1)):
                rows[y][x] = colour

    fill(5, 6, 4, 13, mark)
    fill(4, 5, 4, 13, (150, 152, 156))  # a soft shadow makes the stroke read as a bracket
    fill(5, 8, 4, 5, mark)
    fill(5, 8, 12, 13, mark)
    ppm_to_bmp(rows, "slider_thumb_left.bmp")
    ppm_to_bmp([list(reversed(r)) for r in reversed(rows)], "slider_thumb_right.bmp")


# --- icons -----------------------------------------------------------------------------------

def disc(size, top, bottom, edge, name, inset=0.5, glossy=False):
    """A round button face with a vertical gradient, an outline and an optional gloss; size
    and inset are the 100 % ones."""
    size = px(size)
    c = (size - 1) / 2
    r = c - inset * k()
    face = tmp(name + "_face.png")
    run("-size", f"{size}x{size}", f"gradient:{top}-{bottom}", "-alpha", "set",
        "(", "-size", f"{size}x{size}", "xc:none", "-fill", "white",
        "-draw", f"circle {c},{c} {c},{c - r}", ")",
        "-compose", "DstIn", "-composite",
        "-fill", "none", "-stroke", edge, "-strokewidth", str(max(1, size // 30)),
        "-draw", f"circle {c},{c} {c},{c - r + 0.5}", face)
    if glossy:
        run(face, "(", "-size", f"{size}x{size}", "xc:none", "-fill", "rgba(255,255,255,0.28)",
            "-draw", f"ellipse {c},{c - r * 0.45} {r * 0.72},{r * 0.42} 0,360", ")",
            "-compose", "Over", "-composite", face)
    return face


def overlay(base, draw_args, dest):
    run(base, *draw_args, dest)


def to_icon(png, name):
    run(png, "-type", "TrueColorAlpha", out(name))


def small_button_icons():
    # 16 × 16 glyphs on round faces: add (green plus), remove (red minus), remove all (red cross).
    def plus(face, dest):
        overlay(face, ["-fill", "white", "-stroke", "none",
                       "-draw", "rectangle " + box(4, 7, 11, 8), "-draw", "rectangle " + box(7, 4, 8, 11)], dest)

    def minus(face, dest):
        overlay(face, ["-fill", "white", "-stroke", "none", "-draw", "rectangle " + box(4, 7, 11, 8)], dest)

    def cross(face, dest):
        overlay(face, ["-stroke", "white", "-strokewidth", num(2 * k()), "-fill", "none",
                       "-draw", f"line {pt(5, 5)} {pt(10.5, 10.5)}", "-draw", f"line {pt(10.5, 5)} {pt(5, 10.5)}"], dest)

    sets = [
        ("add", GREEN_TOP, GREEN_BOTTOM, GREEN_HOVER_TOP, GREEN_HOVER_BOTTOM, GREEN_EDGE, plus,
         "icon_add.ico", "icon_add_hover.ico"),
        ("remove", RED_TOP, RED_BOTTOM, RED_HOVER_TOP, RED_HOVER_BOTTOM, RED_EDGE, minus,
         "icon_remove.ico", "icon_remove_hover.ico"),
        ("removeall", RED_TOP, RED_BOTTOM, RED_HOVER_TOP, RED_HOVER_BOTTOM, RED_EDGE, cross,
         "icon_remove_all.ico", "icon_remove_all_hover.ico"),
    ]
    for key, top, bottom, htop, hbottom, edge, glyph, normal, hover in sets:
        for state, t, b, dest in (("n", top, bottom, normal), ("h", htop, hbottom, hover)):
            face = disc(16, t, b, edge, f"{key}_{state}")
            png = tmp(f"{key}_{state}.png")
            glyph(face, png)
            to_icon(png, dest)


def big_button_icons():
    # 67 × 67 round glossy buttons: start (blue, play triangle), stop (red, square).
    size = px(67)
    for key, top, bottom, htop, hbottom, edge, glyph, normal, hover in (
        ("start", BLUE_TOP, BLUE_BOTTOM, BLUE_HOVER_TOP, BLUE_HOVER_BOTTOM, BLUE_EDGE,
         ["-draw", f"polygon {pt(26, 18)} {pt(26, 49)} {pt(51, 33.5)}"], "icon_start.ico", "icon_start_hover.ico"),
        ("stop", RED_TOP, RED_BOTTOM, RED_HOVER_TOP, RED_HOVER_BOTTOM, RED_EDGE,
         ["-draw", f"roundrectangle {box(22, 22, 44, 44)} {num(3 * k())},{num(3 * k())}"],
         "icon_stop.ico", "icon_stop_hover.ico"),
    ):
        for state, t, b, dest in (("n", top, bottom, normal), ("h", htop, hbottom, hover)):
            face = disc(67, t, b, edge, f"{key}_{state}", inset=2.5, glossy=True)
            png = tmp(f"{key}_{state}.png")
            # A soft shadow under the face, then the white glyph.
            run("(", face, "-background", "rgba(20,30,60,0.45)", "-shadow", f"60x{num(1.5 * k())}+0+{round(k())}", ")",
                face, "-background", "none", "-layers", "merge", "+repage",
                "-gravity", "center", "-extent", f"{size}x{size}",
                "-fill", "white", "-stroke", "none", *glyph, png)
            to_icon(png, dest)


def program_icon():
    png = tmp("program.png")
    run("-size", "32x32", f"gradient:{BLUE_TOP}-{BLUE_BOTTOM}", "-alpha", "set",
        "(", "-size", "32x32", "xc:none", "-fill", "white",
        "-draw", "roundrectangle 1,1 30,30 6,6", ")", "-compose", "DstIn", "-composite",
        "-fill", "none", "-stroke", BLUE_EDGE, "-draw", "roundrectangle 1,1 30,30 6,6",
        "-stroke", "none", "-fill", "rgba(255,255,255,0.25)",
        "-draw", "roundrectangle 3,3 28,14 5,5",
        # a frame of film turning into a play symbol
        "-fill", "white", "-draw", "polygon 12,9 12,23 23,16",
        "-fill", "rgba(255,255,255,0.75)",
        "-draw", "rectangle 5,8 7,9", "-draw", "rectangle 5,12 7,13",
        "-draw", "rectangle 5,16 7,17", "-draw", "rectangle 5,20 7,21",
        png)
    to_icon(png, "varnello.ico")


# --- colour-keyed bitmaps ------------------------------------------------------------------

def keyed_bitmap(png, name):
    """Flattens an RGBA drawing onto the page colour and keys its empty pixels to green."""
    flat = tmp(name + "_flat.png")
    mask = tmp(name + "_mask.png")
    run(png, "-background", PAGE_BG_MID, "-alpha", "remove", "-alpha", "off", flat)
    run(png, "-alpha", "extract", "-threshold", "0", mask)
    size = subprocess.run(["identify", "-format", "%wx%h", png], check=True,
                          capture_output=True, text=True).stdout
    run("-size", size, f"xc:{KEY_GREEN}", flat, mask, "-composite",
        "-type", "TrueColor", "BMP3:" + out(name))


def small_bitmaps():
    # Preview play / stop: 19 × 19 glyphs in the page's navy, blue while hovered.
    for colour, name in ((NAVY, "preview_play.bmp"), (BLUE_HOVER_BOTTOM, "preview_play_hover.bmp")):
        png = tmp(name + ".png")
        run("-size", f"{px(19)}x{px(19)}", "xc:none", "-fill", colour, "-stroke", "none",
            "-draw", f"polygon {pt(5, 3)} {pt(5, 15.5)} {pt(15.5, 9.25)}", png)
        keyed_bitmap(png, name)
    for colour, name in ((NAVY, "preview_stop.bmp"), (BLUE_HOVER_BOTTOM, "preview_stop_hover.bmp")):
        png = tmp(name + ".png")
        run("-size", f"{px(19)}x{px(19)}", "xc:none", "-fill", colour, "-stroke", "none",
            "-draw", f"roundrectangle {box(4, 4, 14, 14)} {num(1.5 * k())},{num(1.5 * k())}", png)
        keyed_bitmap(png, name)
    # Help: a question mark on a blue disc.
    face = disc(21, BLUE_TOP, BLUE_BOTTOM, BLUE_EDGE, "help")
    png = tmp("help.png")
    run(face, "-fill", "white", "-font", FONT_BOLD, "-pointsize", num(15 * k()), "-gravity", "center",
        "-annotate", "+0+0", "?", png)
    keyed_bitmap(png, "help.bmp")


# --- pictures ------------------------------------------------------------------------------

def page_background():
    # A calm light-blue wash with two soft waves at the bottom.
    w, h = 464, 282
    run("-size", f"{w}x{h}", f"gradient:{PAGE_BG_TOP}-{PAGE_BG_BOTTOM}",
        "(", "-size", f"{w}x{h}", "xc:none", "-fill", "rgba(255,255,255,0.35)",
        "-draw", f"path 'M 0,{h * 0.72} C {w * 0.3},{h * 0.58} {w * 0.6},{h * 0.95} {w},{h * 0.70} "
                 f"L {w},{h} L 0,{h} Z'",
        "-fill", "rgba(120,160,210,0.10)",
        "-draw", f"path 'M 0,{h * 0.85} C {w * 0.35},{h * 0.72} {w * 0.7},{h * 1.02} {w},{h * 0.82} "
                 f"L {w},{h} L 0,{h} Z'",
        "-blur", "0x6", ")", "-compose", "Over", "-composite",
        "-type", "TrueColor", "BMP3:" + out("page_background.bmp"))


def welcome_picture():
    w, h = px(265), px(196)
    png = tmp("welcome.png")

    def rrect(x0, y0, x1, y1, r):
        return f"roundrectangle {pt(x0, y0)} {pt(x1, y1)} {num(r * k())},{num(r * k())}"

    def rect(x0, y0, x1, y1):
        return f"rectangle {pt(x0, y0)} {pt(x1, y1)}"

    def circle(cx, cy, ex, ey):
        return f"circle {pt(cx, cy)} {pt(ex, ey)}"

    holes = []
    for y0, y1 in ((55, 57), (63, 65)):
        for x0 in (44, 56, 68, 80, 92):
            holes += ["-draw", rect(x0, y0, x0 + 5, y1)]
    run("-size", f"{w}x{h}", f"gradient:#3b6aa8-{NAVY_DARK}",
        # a soft light from the top
        "(", "-size", f"{w}x{h}", "radial-gradient:rgba(255,255,255,0.22)-rgba(255,255,255,0)",
        "-geometry", f"+0-{h // 3}", ")", "-compose", "Over", "-composite",
        # the player: body, screen, wheel
        "-fill", "#f4f7fb", "-stroke", "#b9c6d8", "-strokewidth", num(px(1)),
        "-draw", rrect(110, 22, 155, 98, 8),
        "-fill", "#2a3f63", "-stroke", "none", "-draw", rrect(115, 28, 150, 54, 2),
        "-fill", "#5aa9ff", "-draw", f"polygon {pt(128, 34)} {pt(128, 48)} {pt(139, 41)}",
        "-fill", "#dde5ef", "-draw", circle(132.5, 76, 132.5, 63),
        "-fill", "#f4f7fb", "-draw", circle(132.5, 76, 132.5, 71),
        # a film strip sliding into it
        "-fill", "rgba(255,255,255,0.18)", "-draw", rect(40, 52, 104, 68),
        "-fill", "rgba(36,51,80,0.9)", *holes,
        "-fill", "white", "-font", FONT_BOLD, "-pointsize", num(19 * k()), "-gravity", "north",
        "-annotate", f"+0+{px(112)}", "Welcome to Varnello",
        "-fill", "#c9d8ec", "-font", FONT, "-pointsize", num(11 * k()),
        "-annotate", f"+0+{px(142)}", "Add your videos with the + button,",
        "-annotate", f"+0+{px(158)}", "trim them and convert them for your iPod.",
        png)
    run(png, "-alpha", "off", "-type", "TrueColor", "BMP3:" + out("welcome.bmp"))


def main():
    global SCALE
    SCALE = 100
    program_icon()
    page_background()
    for SCALE in sorted(SUFFIXES):
        slider_images()
        small_button_icons()
        big_button_icons()
        small_bitmaps()
        welcome_picture()
    return 0


if __name__ == "__main__":
    sys.exit(main())
