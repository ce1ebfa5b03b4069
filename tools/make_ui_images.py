#!/usr/bin/env python3
"""Draws the pictures of the built-in skin table and writes them as PNG files, plus a
resource script fragment that compiles them in as type PNG under their numbers.

The skin table (src/res/skins.xml) is the one source of the picture numbers and frame
widths: every "png" skin's "src" becomes OUT_DIR/<src>.png, drawn by the recipe of the
skin's name below. A recipe gives the frame size and the frame count; the frame count
must agree with the skin's "subwidth" (one frame when it has none). State frames are
drawn in the order normal, hover, pressed, disabled.

usage: make_ui_images.py SKINS.xml OUT_DIR RC_FRAGMENT
"""
import math
import os
import struct
import sys
import xml.etree.ElementTree as ElementTree
import zlib

# Numbers a channel's resource folder supplies as files (100.png to 103.png, 110.png);
# a module resource with one of them would hide the file.
FOLDER_NUMBERS = {100, 101, 102, 103, 110}


# ---------------------------------------------------------------- PNG writer

def png_bytes(width, height, rgba):
    """An 8-bit RGBA PNG (colour type 6) of the given straight-alpha pixels."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    stride = width * 4
    raw = bytearray()
    for y in range(height):
        raw.append(0)  # filter: none
        raw += rgba[y * stride:(y + 1) * stride]
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


# ---------------------------------------------------------------- drawing

def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


class Canvas:
    """Straight-alpha RGBA pixels with source-over drawing."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = bytearray(width * height * 4)

    def blend(self, x, y, colour, alpha):
        """Draws colour at (x, y) with coverage alpha (0.0 to 1.0) over what is there."""
        if not (0 <= x < self.width and 0 <= y < self.height) or alpha <= 0:
            return
        alpha = min(alpha, 1.0)
        i = (y * self.width + x) * 4
        dst_a = self.pixels[i + 3] / 255
        out_a = alpha + dst_a * (1 - alpha)
        for c in range(3):
            dst = self.pixels[i + c]
            self.pixels[i + c] = int(round((colour[c] * alpha + dst * dst_a * (1 - alpha)) / out_a))
        self.pixels[i + 3] = int(round(out_a * 255))

    def fill(self, left, top, right, bottom, colour, alpha=255):
        """An opaque or uniformly translucent rectangle, written without blending."""
        row = bytes((*colour, alpha)) * (right - left)
        for y in range(max(0, top), min(self.height, bottom)):
            start = (y * self.width + left) * 4
            self.pixels[start:start + len(row)] = row

    def vertical_gradient(self, left, top, right, bottom, start, end):
        span = max(1, bottom - top - 1)
        for y in range(top, bottom):
            self.fill(left, y, right, y + 1, mix(start, end, (y - top) / span))

    def shape(self, left, top, right, bottom, distance, colour, opacity=1.0):
        """Fills the pixels of a box by a signed distance function (negative inside),
        with one pixel of anti-aliasing along the edge."""
        for y in range(max(0, top), min(self.height, bottom)):
            for x in range(max(0, left), min(self.width, right)):
                coverage = 0.5 - distance(x + 0.5, y + 0.5)
                if coverage > 0:
                    self.blend(x, y, colour, min(coverage, 1.0) * opacity)

    def rounded_rect(self, left, top, right, bottom, radius, colour, opacity=1.0):
        def distance(px, py):
            cx = min(max(px, left + radius), right - radius)
            cy = min(max(py, top + radius), bottom - radius)
            if radius == 0:
                return max(left - px, px - right, top - py, py - bottom)
            return math.hypot(px - cx, py - cy) - radius
        self.shape(left, top, right, bottom, distance, colour, opacity)

    def circle(self, cx, cy, radius, colour, opacity=1.0):
        self.shape(int(cx - radius) - 1, int(cy - radius) - 1, int(cx + radius) + 2,
                   int(cy + radius) + 2, lambda px, py: math.hypot(px - cx, py - cy) - radius,
                   colour, opacity)

    def line(self, x0, y0, x1, y1, width, colour, opacity=1.0):
        def distance(px, py):
            dx, dy = x1 - x0, y1 - y0
            t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy)))
            return math.hypot(px - (x0 + t * dx), py - (y0 + t * dy)) - width / 2
        self.shape(int(min(x0, x1) - width) - 1, int(min(y0, y1) - width) - 1,
                   int(max(x0, x1) + width) + 2, int(max(y0, y1) + width) + 2,
                   distance, colour, opacity)

    def text(self, left, top, text, scale, colour):
        """Block letters of the 5 x 7 font below, each cell scale pixels wide."""
        for ch in text:
            rows = FONT.get(ch)
            if rows is None:
                raise SystemExit("no glyph for %r" % ch)
            for r, bits in enumerate(rows):
                for c in range(5):
                    if bits & (0x10 >> c):
                        x, y = left + c * scale, top + r * scale
                        self.fill(max(0, x), y, min(self.width, x + scale), y + scale, colour)
            left += 6 * scale

    def paste(self, other, left, top):
        for y in range(other.height):
            src = y * other.width * 4
            dst = ((top + y) * self.width + left) * 4
            self.pixels[dst:dst + other.width * 4] = other.pixels[src:src + other.width * 4]


FONT = {
    "T": (0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04),
    "O": (0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E),
    "V": (0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04),
    "E": (0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F),
    "L": (0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F),
    "R": (0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11),
    "D": (0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E),
    "W": (0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A),
    "N": (0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11),
    "A": (0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11),
    "0": (0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E),
    "1": (0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E),
    "2": (0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F),
    "3": (0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E),
    "?": (0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04),
    "!": (0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04),
    "i": (0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E),
    " ": (0, 0, 0, 0, 0, 0, 0),
}

WHITE = (255, 255, 255)
BLUE = hex_colour("2F85EE")
DARK_BLUE = hex_colour("1A4F8F")
GREEN = hex_colour("21A658")
RED = hex_colour("E84C3D")
GREY = hex_colour("8A8A8A")


def text_width(text, scale):
    return (6 * len(text) - 1) * scale


def shield(canvas, left, top, size, colour, mark=WHITE):
    """The product's shield with a check mark, size x size at (left, top)."""
    def distance(px, py):
        u, v = (px - left) / size, (py - top) / size
        half = 0.42 if v < 0.55 else 0.42 * max(0.0, (0.95 - v) / 0.40)
        inside_x = abs(u - 0.5) - half
        inside_y = max(0.06 - v, v - 0.95)
        return max(inside_x, inside_y) * size
    canvas.shape(left, top, left + size, top + size, distance, colour)
    canvas.line(left + 0.30 * size, top + 0.48 * size, left + 0.45 * size, top + 0.64 * size,
                max(1.2, 0.11 * size), mark)
    canvas.line(left + 0.45 * size, top + 0.64 * size, left + 0.72 * size, top + 0.32 * size,
                max(1.2, 0.11 * size), mark)


# ---------------------------------------------------------------- recipes

def state_frames(width, height, count, draw_frame):
    """count frames of width x height side by side; draw_frame(canvas, state) draws one."""
    canvas = Canvas(width * count, height)
    for state in range(count):
        frame = Canvas(width, height)
        draw_frame(frame, state)
        canvas.paste(frame, state * width, 0)
    return canvas


def title_button(glyph, size, count):
    # Normal: glyph only; hover: a light plate; pressed: a red or dark plate.
    def draw(frame, state):
        if state == 1:
            frame.fill(0, 0, size, size, WHITE, 0x40)
        elif state == 2:
            frame.fill(0, 0, size, size, (0xE8, 0x11, 0x23) if glyph == "x" else DARK_BLUE, 0xFF)
        m = size * 11 // 32
        if glyph == "x":
            frame.line(m, m, size - m, size - m, 1.6, WHITE)
            frame.line(size - m, m, m, size - m, 1.6, WHITE)
        else:
            frame.line(m, size / 2, size - m, size / 2, 1.6, WHITE)
    return lambda: state_frames(size, size, count, draw)


def small_button(glyph, width, height):
    # Dark glyphs for the light header of the large layouts, darker with each state.
    shades = [hex_colour("B3B3B3"), hex_colour("6E6E6E"), hex_colour("333333")]
    def draw(frame, state):
        colour = shades[state]
        if glyph == "x":
            frame.line(1.5, 1.5, width - 1.5, height - 1.5, 1.5, colour)
            frame.line(width - 1.5, 1.5, 1.5, height - 1.5, 1.5, colour)
        else:
            frame.line(1.5, height / 2, width - 1.5, height / 2, 1.5, colour)
    return lambda: state_frames(width, height, 3, draw)


def plate_button(width, height, colours, border=None):
    # One rounded plate a state: normal, hover, pressed, disabled.
    def draw(frame, state):
        if border is not None:
            frame.rounded_rect(0, 0, width, height, 4, border)
            frame.rounded_rect(1, 1, width - 1, height - 1, 3, colours[state])
        else:
            frame.rounded_rect(0, 0, width, height, 4, colours[state])
    return lambda: state_frames(width, height, len(colours), draw)


def solid(width, height, colour):
    def make():
        canvas = Canvas(width, height)
        canvas.fill(0, 0, width, height, colour)
        return canvas
    return make


def logo(colour, mark):
    def make():
        canvas = Canvas(16, 16)
        shield(canvas, 0, 0, 16, colour, mark)
        return canvas
    return make


def soft_shadow(size, inner, peak):
    """A shadow picture: transparent outside, darkening towards the box [inner, size-inner)
    and empty inside it, the dialog covering that part."""
    def make():
        canvas = Canvas(size, size)
        for y in range(size):
            for x in range(size):
                dx = max(inner - (x + 0.5), (x + 0.5) - (size - inner), 0)
                dy = max(inner - (y + 0.5), (y + 0.5) - (size - inner), 0)
                distance = math.hypot(dx, dy)
                if 0 < distance < inner:
                    falloff = 1 - distance / inner
                    canvas.blend(x, y, (0, 0, 0), peak * falloff * falloff)
        return canvas
    return make


def light_band(width, height):
    def make():
        canvas = Canvas(width, height)
        for x in range(width):
            t = (x + 0.5 - width / 2) / (width / 4)
            canvas.fill(x, 0, x + 1, height, WHITE, int(180 * math.exp(-t * t)))
        return canvas
    return make


def banner(width, height, top_colour, bottom_colour, caption, white_below=0):
    """A gradient banner with the shield and a block-letter caption."""
    def make():
        canvas = Canvas(width, height)
        band = height - white_below
        canvas.vertical_gradient(0, 0, width, band, top_colour, bottom_colour)
        canvas.fill(0, band, width, height, WHITE)
        size = band // 3
        # Letters as large as a fortieth of the band, but the caption within 70% of the width.
        scale = max(2, min(band // 40, (width * 7 // 10 - size) // (6 * len(caption) + 5)))
        total = size + 2 * scale * 3 + text_width(caption, scale)
        left = (width - total) // 2
        shield(canvas, left, (band - size) // 2, size, WHITE, bottom_colour)
        canvas.text(left + size + 6 * scale, (band - 7 * scale) // 2, caption, scale, WHITE)
        return canvas
    return make


def circle_icon(colour, glyph):
    def make():
        canvas = Canvas(48, 48)
        canvas.circle(24, 24, 22, colour)
        if glyph == "tick":
            canvas.line(13, 25, 21, 33, 4, WHITE)
            canvas.line(21, 33, 35, 16, 4, WHITE)
        else:
            canvas.text(24 - 15 // 2 - 1, 24 - 21 // 2, glyph, 3, WHITE)
        return canvas
    return make


def recommend_background():
    canvas = Canvas(300, 200)
    canvas.fill(0, 0, 300, 200, WHITE)
    canvas.vertical_gradient(0, 0, 300, 30, hex_colour("2F91D7"), hex_colour("226AC0"))
    shield(canvas, 20, 60, 64, BLUE)
    canvas.text(110, 80, "TOVEL", 4, DARK_BLUE)
    return canvas


# Skin name: (frame width, frame height, frame count, drawing).
RECIPES = {
    "close": (32, 32, 3, title_button("x", 32, 3)),
    "minimize": (32, 32, 3, title_button("-", 32, 3)),
    "close_new": (12, 12, 3, small_button("x", 12, 12)),
    "minimize_new": (13, 12, 3, small_button("-", 13, 12)),
    "fast_install_btn": (140, 36, 4, plate_button(140, 36, [
        GREEN, hex_colour("2DBD6A"), hex_colour("1A8A48"), hex_colour("9FCFB2")])),
    "headlogo": (16, 16, 1, logo(WHITE, BLUE)),
    "progressbg": (3, 3, 1, solid(3, 3, hex_colour("E5E5E5"))),
    "progresspos": (3, 3, 1, solid(3, 3, BLUE)),
    "dlg_shadow": (10, 10, 1, soft_shadow(10, 4, 0.35)),
    "cnm_showdow": (64, 64, 1, soft_shadow(64, 28, 0.30)),
    "messagebox_install_logo": (16, 16, 1, logo(GREEN, WHITE)),
    "white_light": (60, 200, 1, light_band(60, 200)),
    "mainbg_banner0": (458, 224, 1, banner(458, 224, hex_colour("2F91D7"), hex_colour("226AC0"), "TOVEL 0")),
    "mainbg_banner1": (458, 224, 1, banner(458, 224, hex_colour("26A69A"), hex_colour("1B7A70"), "TOVEL 1")),
    "mainbg_banner2": (458, 224, 1, banner(458, 224, hex_colour("5C6BC0"), hex_colour("3949AB"), "TOVEL 2")),
    "mainbg_banner3": (458, 224, 1, banner(458, 224, hex_colour("F29B38"), hex_colour("D9771E"), "TOVEL 3")),
    "mainbg_new": (602, 402, 1, banner(602, 402, hex_colour("2F91D7"), hex_colour("226AC0"), "TOVEL", 105)),
    "mainbg_error": (458, 224, 1, banner(458, 224, hex_colour("9AA5B1"), hex_colour("6B7785"), "ERROR")),
    "mainbg_error_new": (602, 402, 1, banner(602, 402, hex_colour("9AA5B1"), hex_colour("6B7785"), "ERROR", 105)),
    "downloader_error": (602, 402, 1, banner(602, 402, hex_colour("C0645A"), hex_colour("99443C"), "ERROR", 105)),
    "downloader_progressbar": (602, 402, 1, banner(602, 402, hex_colour("2F91D7"), hex_colour("1A4F8F"), "DOWNLOAD")),
    "circle_blue_question": (48, 48, 1, circle_icon(BLUE, "?")),
    "circle_blue_tick": (48, 48, 1, circle_icon(BLUE, "tick")),
    "circle_blue_i": (48, 48, 1, circle_icon(BLUE, "i")),
    "circle_red_exclamation": (48, 48, 1, circle_icon(RED, "!")),
    "dlg_recommend_bg_png": (300, 200, 1, recommend_background),
    "dlg_recommend_btnok_png": (100, 30, 4, plate_button(100, 30, [
        BLUE, hex_colour("4A97F0"), hex_colour("1C6FD6"), hex_colour("A9C9F2")])),
    "dlg_recommend_btncancel_png": (100, 30, 4, plate_button(100, 30, [
        hex_colour("F2F2F2"), WHITE, hex_colour("E0E0E0"), hex_colour("F7F7F7")], border=hex_colour("CCCCCC"))),
}


# ---------------------------------------------------------------- main

def skins_with_pictures(path):
    """(name, src, subwidth) of every "png" skin of the table, in document order."""
    root = ElementTree.parse(path).getroot()
    if root.tag != "skins":
        raise SystemExit("%s: the root is <%s>, not <skins>" % (path, root.tag))
    skins = []
    for element in root:
        if element.tag != "png":
            continue
        name = element.get("name")
        skins.append((name, int(element.get("src")), int(element.get("subwidth", "0"))))
    return skins


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    skins_path, out_dir, rc_path = sys.argv[1:]
    os.makedirs(out_dir, exist_ok=True)
    drawn = {}  # number: skin name
    lines = ["// Generated by tools/make_ui_images.py from %s; do not edit." % os.path.basename(skins_path)]
    for name, number, subwidth in skins_with_pictures(skins_path):
        if number in FOLDER_NUMBERS:
            raise SystemExit("skin %s: picture %d is reserved for the resource folder" % (name, number))
        if name not in RECIPES:
            raise SystemExit("skin %s: no recipe draws its picture" % name)
        width, height, frames, draw = RECIPES[name]
        if subwidth and subwidth != width:
            raise SystemExit("skin %s: subwidth %d but frames of %d pixels" % (name, subwidth, width))
        if not subwidth and frames != 1:
            raise SystemExit("skin %s: %d frames but no subwidth" % (name, frames))
        if number in drawn:
            raise SystemExit("skins %s and %s share picture %d" % (drawn[number], name, number))
        drawn[number] = name
        canvas = draw()
        assert (canvas.width, canvas.height) == (width * frames, height), name
        path = os.path.join(out_dir, "%d.png" % number)
        data = png_bytes(canvas.width, canvas.height, canvas.pixels)
        # Rewrite only on change, so that the resource script is not rebuilt needlessly.
        if not os.path.exists(path) or open(path, "rb").read() != data:
            with open(path, "wb") as f:
                f.write(data)
        lines.append('%d PNG "%s"' % (number, os.path.abspath(path).replace("\\", "/")))
    text = "\n".join(lines) + "\n"
    if not os.path.exists(rc_path) or open(rc_path).read() != text:
        with open(rc_path, "w") as f:
            f.write(text)


if __name__ == "__main__":
    main()
