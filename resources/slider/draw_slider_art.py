#!/usr/bin/env python3
"""Draws the image slider's track and thumb bitmaps as plain RGB PNG files.

Transparency is by key colour, as the slider expects: each track's key is the colour of
its top-left pixel, each thumb's key is magenta (255, 0, 255). Run from anywhere:
    python3 resources/slider/draw_slider_art.py
Needs only the Python standard library.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
TRACK_KEY = (0, 128, 128)
THUMB_KEY = (255, 0, 255)


def write_png(path, pixels):
    height = len(pixels)
    width = len(pixels[0])
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
                + chunk(b"IEND", b""))


def canvas(width, height, colour):
    return [[colour for _ in range(width)] for _ in range(height)]


def hline(img, x0, x1, y, colour):
    for x in range(x0, x1 + 1):
        img[y][x] = colour


def vline(img, x, y0, y1, colour):
    for y in range(y0, y1 + 1):
        img[y][x] = colour


def track(width, height, thumb_height, top, left, range_max, tick_every, home):
    """A sunken groove under the thumb's centre line and a tick scale on the left."""
    img = canvas(width, height, TRACK_KEY)
    half = thumb_height // 2
    first = top + half
    last = height - half - 1
    travel = height - top - thumb_height
    centre_x = left + 17 // 2
    # groove: dark slot with a light right/bottom edge for a sunken look
    for y in range(first - 2, last + 3):
        hline(img, centre_x - 2, centre_x + 1, y, (28, 30, 34))
        img[y][centre_x - 3] = (90, 92, 98)
        img[y][centre_x + 2] = (235, 235, 235)
    hline(img, centre_x - 3, centre_x + 2, first - 3, (90, 92, 98))
    hline(img, centre_x - 3, centre_x + 2, last + 3, (235, 235, 235))
    # ticks: every tick_every positions, the home (0 dB) tick long and red
    for position in range(0, range_max + 1, tick_every):
        y = first + int(position * travel / range_max + 0.5)
        is_home = position == home
        x0 = 3 if is_home else 8
        colour = (200, 24, 24) if is_home else (52, 54, 60)
        hline(img, x0, 19, y, colour)
        if y + 1 < height:
            hline(img, x0, 19, y + 1, (250, 250, 250) if not is_home else (255, 160, 160))
    return img


def thumb(width, height, focused):
    """A fader cap: bevelled grey body, dark outline, a centre line that glows when focused."""
    img = canvas(width, height, THUMB_KEY)
    outline = (40, 42, 48)
    for y in range(height):
        for x in range(width):
            corner = (x in (0, width - 1)) and (y in (0, height - 1))
            if corner:
                continue
            if x in (0, width - 1) or y in (0, height - 1):
                img[y][x] = outline
                continue
            shade = 232 - int(70 * y / (height - 1))
            if focused:
                img[y][x] = (min(255, shade + 8), min(255, shade + 4), max(0, shade - 30))
            else:
                img[y][x] = (shade, shade, min(255, shade + 6))
    # bevel: light top-left, dark bottom-right inside the outline
    hline(img, 1, width - 2, 1, (255, 255, 255))
    vline(img, 1, 1, height - 2, (255, 255, 255))
    hline(img, 1, width - 2, height - 2, (110, 110, 116))
    vline(img, width - 2, 1, height - 2, (110, 110, 116))
    middle = height // 2
    line = (220, 30, 20) if focused else (20, 20, 24)
    hline(img, 2, width - 3, middle, line)
    hline(img, 2, width - 3, middle - 1, (255, 255, 255) if not focused else (255, 200, 150))
    # grip grooves above and below the centre line
    for dy in (-5, -3, 3, 5):
        y = middle + dy
        if 2 < y < height - 3:
            hline(img, 4, width - 5, y, (120, 120, 128))
            hline(img, 4, width - 5, y + 1, (250, 250, 250))
    return img


def main():
    # Output page: 41 x 270 track, 17 x 25 thumbs, top margin 1, range 0..420, home 120.
    write_png(os.path.join(HERE, "page_track.png"), track(41, 270, 25, 1, 23, 420, 60, 120))
    write_png(os.path.join(HERE, "page_thumb.png"), thumb(17, 25, False))
    write_png(os.path.join(HERE, "page_thumb_focused.png"), thumb(17, 25, True))
    # PEQ band dialog: 41 x 197 track, 17 x 19 thumbs, top margin 0, range 0..450, home 150.
    write_png(os.path.join(HERE, "peq_track.png"), track(41, 197, 19, 0, 23, 450, 50, 150))
    write_png(os.path.join(HERE, "peq_thumb.png"), thumb(17, 19, False))
    write_png(os.path.join(HERE, "peq_thumb_focused.png"), thumb(17, 19, True))


if __name__ == "__main__":
    main()
