#!/usr/bin/python3
"""Draws every picture of the reader from vector sources.

Each picture is written here as SVG, rendered with rsvg-convert and, where
the program needs a bitmap in a particular form (tool bar strips keyed with
magenta, the animated splash), finished with Pillow.  Run it from anywhere:

    res/art/make_art.py            # writes the pictures into res/
    res/art/make_art.py --scale 2  # the shell's pictures for 200% screens,
                                   # "name@2x.png", drawn from the same sources

Needs the Debian packages librsvg2-bin, python3-pil and fonts-noto-cjk.
The results are committed, so building the program never runs this script.
"""
import io
import os
import subprocess
import sys

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, ".."))

# One palette for the whole product: paper, ink, vermilion seal red.
PAPER = "#f4ecd8"
PAPER_DEEP = "#e4d3ac"
INK = "#33291f"
INK_SOFT = "#6d5f4e"
INK_FADED = "#b9ab92"
SEAL = "#a9321f"
SEAL_DEEP = "#8a2414"
GOLD = "#a88a4e"
MAGENTA = (255, 0, 255)
SERIF = "Noto Serif CJK JP"
# Device pixels per drawing unit: 2 draws every picture at twice its size
# for high-resolution screens (--scale 2).
SCALE = 1


def render(svg, width, height):
    """Renders an SVG text into an RGBA Pillow image of the given size in
    drawing units (SCALE device pixels each)."""
    png = subprocess.run(
        ["rsvg-convert", "-w", str(width * SCALE), "-h", str(height * SCALE), "-f", "png"],
        input=svg.encode("utf-8"), stdout=subprocess.PIPE, check=True).stdout
    return Image.open(io.BytesIO(png)).convert("RGBA")


def svg_doc(width, height, body, defs=""):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" '
            f'height="{height}" viewBox="0 0 {width} {height}">'
            f'<defs>{defs}</defs>{body}</svg>')


def scaled_name(name):
    """"toolbar_hot.png" at SCALE 2 is "toolbar_hot@2x.png", as Qt names it."""
    if SCALE == 1:
        return name
    stem, ext = os.path.splitext(name)
    return f"{stem}@{SCALE}x{ext}"


def save(image, name):
    path = os.path.join(OUT, scaled_name(name))
    image.save(path)
    print("wrote", os.path.relpath(path, os.path.join(OUT, "..")))


# ---------------------------------------------------------------- textures

def paper_fibres(width, height, seed, opacity=0.10, period=None):
    """Faint horizontal fibres; with a period they repeat seamlessly."""
    import random
    rnd = random.Random(seed)
    span = period or width
    lines = []
    for _ in range(max(6, span * height // 260)):
        x = rnd.uniform(0, span)
        y = rnd.uniform(0, height)
        length = rnd.uniform(8, 40)
        tone = rnd.choice([INK_SOFT, GOLD, "#ffffff"])
        for shift in ((0, span) if period else (0,)):
            lines.append(
                f'<path d="M{x - shift:.1f},{y:.1f} q{length / 2:.1f},'
                f'{rnd.uniform(-1, 1):.1f} {length:.1f},0" stroke="{tone}" '
                f'stroke-width="{rnd.uniform(0.3, 0.8):.2f}" fill="none" '
                f'opacity="{opacity * rnd.uniform(0.4, 1):.3f}"/>')
    if period:
        lines = [f'<g transform="translate({k * period},0)">{"".join(lines)}</g>'
                 for k in range(width // period)]
    return "".join(lines)


def waves(width, top, radius, rows, colour, opacity):
    """Overlapping arcs of the sea-wave pattern; repeats every 2*radius."""
    arcs = []
    for row in range(rows):
        y = top + row * radius * 0.5
        offset = radius if row % 2 else 0
        for x in range(-2 * radius, width + 2 * radius, 2 * radius):
            cx = x + offset
            for ring in (1.0, 0.7, 0.4):
                r = radius * ring
                arcs.append(f'<path d="M{cx - r:.1f},{y:.1f} a{r:.1f},{r:.1f} 0 0 1 '
                            f'{2 * r:.1f},0" fill="none" stroke="{colour}" '
                            f'stroke-width="0.8"/>')
    return f'<g opacity="{opacity}">{"".join(arcs)}</g>'


# ---------------------------------------------------------------- tool bar

BAR_W, BAR_H = 600, 47


def toolbar_background():
    gradient = ('<linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
                f'<stop offset="0" stop-color="#fbf6ea"/>'
                f'<stop offset="0.55" stop-color="{PAPER}"/>'
                f'<stop offset="1" stop-color="{PAPER_DEEP}"/></linearGradient>')
    body = (f'<rect width="{BAR_W}" height="{BAR_H}" fill="url(#g)"/>'
            + waves(BAR_W, 30, 10, 4, GOLD, 0.16)
            + paper_fibres(BAR_W, BAR_H, 7, 0.12, period=100)
            + f'<rect y="0" width="{BAR_W}" height="1" fill="#fffdf6"/>'
            + f'<rect y="{BAR_H - 3}" width="{BAR_W}" height="1" fill="{SEAL}" opacity="0.55"/>'
            + f'<rect y="{BAR_H - 1}" width="{BAR_W}" height="1" fill="#9c8459"/>')
    image = render(svg_doc(BAR_W, BAR_H, body, gradient), BAR_W, BAR_H)
    return image.convert("RGB")


def stroke(d, colour, width=2.4, extra=""):
    return (f'<path d="{d}" fill="none" stroke="{colour}" stroke-width="{width}" '
            f'stroke-linecap="round" stroke-linejoin="round" {extra}/>')


def glyph_select_all(ink, accent):
    return (stroke("M9,8 h22 v24 h-22 z", accent, 1.6, 'stroke-dasharray="3 2.2"')
            + "".join(stroke(f"M13,{y} h{w}", ink, 2.0)
                      for y, w in ((14, 14), (19, 11), (24, 14), (29, 8))))


def glyph_copy(ink, accent):
    return (stroke("M14,6 h15 l5,5 v18 h-20 z", ink, 1.8)
            + f'<path d="M7,13 h15 l5,5 v17 h-20 z" fill="{PAPER}" '
              f'stroke="{accent}" stroke-width="1.8" stroke-linejoin="round"/>'
            + stroke("M11,23 h11 M11,28 h8", ink, 1.6))


def glyph_print(ink, accent):
    return (stroke("M12,15 v-8 h16 v8", ink, 1.8)
            + f'<rect x="6" y="15" width="28" height="12" rx="2.5" fill="none" '
              f'stroke="{ink}" stroke-width="2.2"/>'
            + f'<circle cx="29" cy="20" r="1.6" fill="{accent}"/>'
            + f'<path d="M12,23 h16 v11 h-16 z" fill="{PAPER}" stroke="{ink}" '
              f'stroke-width="1.8" stroke-linejoin="round"/>'
            + stroke("M15,28 h10 M15,31 h7", accent, 1.4))


def glyph_chevrons(ink, accent, direction, double):
    # Drawn pointing left, mirrored for the right-hand commands.
    parts = [stroke("M23,10 l-10,10 l10,10", ink, 3.2)]
    if double:
        parts = [stroke("M20,10 l-10,10 l10,10", ink, 3.0),
                 stroke("M30,10 l-10,10 l10,10", accent, 3.0)]
    else:
        parts.append(f'<circle cx="28" cy="20" r="2" fill="{accent}"/>')
    body = "".join(parts)
    if direction > 0:
        body = f'<g transform="translate(40,0) scale(-1,1)">{body}</g>'
    return body


def glyph_hit(ink, accent, direction):
    lens = (f'<circle cx="17" cy="17" r="8" fill="none" stroke="{ink}" stroke-width="2.4"/>'
            + stroke("M23,23 l7,7", ink, 3.4))
    if direction < 0:
        arrow = f'<path d="M4,33 l6,-4 v8 z" fill="{accent}"/>'
    else:
        arrow = f'<path d="M36,33 l-6,-4 v8 z" fill="{accent}"/>'
    return lens + f'<circle cx="17" cy="17" r="2.2" fill="{accent}"/>' + arrow


def glyph_info(ink, accent):
    return (f'<circle cx="20" cy="20" r="13" fill="none" stroke="{accent}" stroke-width="2.4"/>'
            + f'<circle cx="20" cy="13" r="2" fill="{ink}"/>'
            + stroke("M17,18 h3 v10 M16.5,28 h7", ink, 2.4))


# In the order of the ten command buttons of the tool bar.
GLYPHS = [
    glyph_select_all,
    glyph_copy,
    glyph_print,
    lambda ink, accent: glyph_chevrons(ink, accent, -1, True),
    lambda ink, accent: glyph_chevrons(ink, accent, -1, False),
    lambda ink, accent: glyph_chevrons(ink, accent, +1, False),
    lambda ink, accent: glyph_chevrons(ink, accent, +1, True),
    lambda ink, accent: glyph_hit(ink, accent, -1),
    lambda ink, accent: glyph_hit(ink, accent, +1),
    glyph_info,
]
# Tool bar items before each button that are separators, in the same order:
# select all, copy | print | 4 volume and page buttons | 2 hit buttons | info.
SEPARATORS_BEFORE = [0, 0, 1, 2, 2, 2, 2, 3, 3, 4]

STATES = {
    "normal": dict(ink=INK, accent=SEAL, tile=False),
    "hot": dict(ink=SEAL_DEEP, accent=SEAL, tile=True),
    "disabled": dict(ink=INK_FADED, accent=INK_FADED, tile=False),
}


def button_x(index):
    """Left edge of a button image on the tool bar (3 + 47 per button + 6
    per separator), the same walk the program uses to key its strips."""
    return 3 + 47 * index + 6 * SEPARATORS_BEFORE[index]


def toolbar_strip(state, background):
    style = STATES[state]
    side = 40 * SCALE
    strip = Image.new("RGB", (len(GLYPHS) * side, side), MAGENTA)
    for index, glyph in enumerate(GLYPHS):
        tile = ""
        if style["tile"]:
            tile = (f'<rect x="1.5" y="1.5" width="37" height="37" rx="6" fill="#fbf3df" '
                    f'stroke="{SEAL}" stroke-width="1" opacity="0.95"/>')
        art = render(svg_doc(40, 40, tile + glyph(style["ink"], style["accent"])), 40, 40)
        # Soft edges are finished against the piece of background that the
        # program will show through the magenta, so no pink fringe remains.
        x, top = button_x(index) * SCALE, 3 * SCALE
        behind = background.crop((x, top, x + side, top + side)).convert("RGBA")
        finished = Image.alpha_composite(behind, art).convert("RGB")
        alpha = art.getchannel("A")
        keyed = Image.new("RGB", (side, side), MAGENTA)
        keyed.paste(finished, (0, 0), alpha.point(lambda a: 255 if a > 0 else 0))
        strip.paste(keyed, (side * index, 0))
    return strip


# ---------------------------------------------------------------- pager and tree

def pager_strip(direction):
    """Four 24x24 faces side by side: normal, pressed, hot, disabled."""
    states = [(INK, PAPER, GOLD), (SEAL_DEEP, PAPER_DEEP, SEAL),
              (SEAL, PAPER, SEAL), (INK_FADED, "#efe8d6", INK_FADED)]
    pieces = []
    for i, (ink, face, edge) in enumerate(states):
        dx = 1 if i == 1 else 0
        arrow = "M14,7 l-5,5 l5,5" if direction < 0 else "M10,7 l5,5 l-5,5"
        pieces.append(
            f'<g transform="translate({24 * i + dx},{dx})">'
            f'<rect x="1" y="1" width="22" height="22" rx="4" fill="{face}" '
            f'stroke="{edge}" stroke-width="1.2"/>' + stroke(arrow, ink, 2.4) + '</g>')
    return render(svg_doc(96, 24, "".join(pieces)), 96, 24)


def tree_images():
    """20x20 images: 0 a closed string-bound book, 1 the same book opened."""
    closed = (f'<rect x="4" y="3" width="12" height="15" rx="1" fill="#d9c79c" '
              f'stroke="{INK}" stroke-width="1.2"/>'
              f'<rect x="11" y="5" width="3" height="8" fill="#fbf6ea" stroke="{INK_SOFT}" '
              f'stroke-width="0.6"/>'
              + "".join(f'<path d="M4,{y} h-1.5" stroke="{SEAL}" stroke-width="1.2"/>'
                        for y in (6, 10.5, 15)))
    opened = (f'<path d="M10,5 q-4,-2 -8,0 v12 q4,-2 8,0 z" fill="#fbf6ea" '
              f'stroke="{SEAL}" stroke-width="1.2" stroke-linejoin="round"/>'
              f'<path d="M10,5 q4,-2 8,0 v12 q-4,-2 -8,0 z" fill="#fbf6ea" '
              f'stroke="{SEAL}" stroke-width="1.2" stroke-linejoin="round"/>'
              + stroke("M4.5,8 h3.5 M4.5,11 h3.5 M12,8 h3.5 M12,11 h3.5", INK, 0.9))
    body = closed + f'<g transform="translate(20,0)">{opened}</g>'
    return render(svg_doc(40, 20, body), 40, 20)


# ---------------------------------------------------------------- icon, cursor

def seal_icon_svg(size):
    """The product mark: a vermilion seal holding the character 籍 (books)."""
    return svg_doc(256, 256, (
        f'<rect x="12" y="12" width="232" height="232" rx="34" fill="{SEAL}"/>'
        f'<rect x="30" y="30" width="196" height="196" rx="18" fill="none" '
        f'stroke="#f6e7cf" stroke-width="9"/>'
        f'<text x="128" y="184" font-family="{SERIF}" font-weight="bold" '
        f'font-size="150" text-anchor="middle" fill="#f6e7cf">籍</text>'))


def cursor_image():
    body = (f'<path d="M3,16 l7,-7 v4 h12 v-4 l7,7 l-7,7 v-4 h-12 v4 z" fill="{PAPER}" '
            f'stroke="{INK}" stroke-width="1.5" stroke-linejoin="round"/>')
    return render(svg_doc(32, 32, body), 32, 32)


# ---------------------------------------------------------------- about, page

def mountains(width, height, base, opacity):
    return (f'<path d="M0,{base} C{width * 0.12},{base - 60} {width * 0.2},{base - 90} '
            f'{width * 0.3},{base - 40} S{width * 0.5},{base - 110} {width * 0.62},{base - 50} '
            f'S{width * 0.85},{base - 80} {width},{base - 30} V{height} H0 z" '
            f'fill="{INK_SOFT}" opacity="{opacity}"/>'
            f'<path d="M0,{base + 20} C{width * 0.2},{base - 10} {width * 0.35},{base + 10} '
            f'{width * 0.5},{base - 20} S{width * 0.8},{base + 10} {width},{base - 5} '
            f'V{height} H0 z" fill="{INK}" opacity="{opacity * 0.8}"/>')


def about_picture():
    w, h = 500, 350
    grad = ('<radialGradient id="p" cx="0.4" cy="0.35" r="0.9">'
            f'<stop offset="0" stop-color="#fbf6ea"/><stop offset="1" stop-color="{PAPER_DEEP}"/>'
            '</radialGradient>')
    body = (f'<rect width="{w}" height="{h}" fill="url(#p)"/>'
            + paper_fibres(w, h, 3, 0.10)
            + mountains(w, h, 300, 0.16)
            + f'<rect x="8" y="8" width="{w - 16}" height="{h - 16}" fill="none" '
              f'stroke="{INK_SOFT}" stroke-width="1"/>'
            + f'<rect x="13" y="13" width="{w - 26}" height="{h - 26}" fill="none" '
              f'stroke="{SEAL}" stroke-width="2.5"/>'
            + f'<text x="60" y="150" font-family="{SERIF}" font-size="64" '
              f'font-weight="bold" fill="{INK}" letter-spacing="4">Codexa</text>'
            + f'<text x="62" y="196" font-family="{SERIF}" font-size="26" '
              f'fill="{INK}" letter-spacing="6">漢籍全文閲覧・検索</text>'
            + f'<path d="M62,214 h260" stroke="{SEAL}" stroke-width="1.5"/>'
            + f'<text x="62" y="244" font-family="{SERIF}" font-size="15" '
              f'fill="{INK_SOFT}">バージョン 0.1</text>'
            + f'<text x="62" y="266" font-family="{SERIF}" font-size="13" '
              f'fill="{INK_SOFT}">詩詞の原典を読み、探すための書棚</text>'
            + f'<g transform="translate(372,88) rotate(-4)">'
              f'<rect width="78" height="78" rx="8" fill="{SEAL}" opacity="0.92"/>'
              f'<rect x="6" y="6" width="66" height="66" rx="4" fill="none" '
              f'stroke="#f6e7cf" stroke-width="3"/>'
              f'<text x="39" y="60" font-family="{SERIF}" font-weight="bold" font-size="46" '
              f'text-anchor="middle" fill="#f6e7cf">籍</text></g>'
            + f'<text x="{w - 30}" y="{h - 26}" font-family="{SERIF}" font-size="12" '
              f'text-anchor="end" fill="{INK_SOFT}">クリックで閉じます</text>')
    return render(svg_doc(w, h, body, grad), w, h).convert("RGB")


def page_background():
    """A tile of quiet paper for the rendered pages ("Back.gif")."""
    size = 160
    body = (f'<rect width="{size}" height="{size}" fill="#f7f0de"/>'
            + paper_fibres(size, size, 11, 0.08, period=size))
    image = render(svg_doc(size, size, body), size, size).convert("RGB")
    return image.quantize(colors=64, dither=Image.Dither.NONE)


# ---------------------------------------------------------------- splash movie

SPLASH_W, SPLASH_H = 720, 450


def splash_frame(t):
    """One frame of the opening: an ink circle is drawn, the title appears,
    the seal is pressed.  t runs from 0 to 1."""
    circumference = 2 * 3.14159 * 150

    def phase(start, end):
        return min(1.0, max(0.0, (t - start) / (end - start)))

    drawn = phase(0.0, 0.45)
    title = phase(0.40, 0.70)
    seal = phase(0.68, 0.85)
    body = (f'<rect width="{SPLASH_W}" height="{SPLASH_H}" fill="{PAPER}"/>'
            + paper_fibres(SPLASH_W, SPLASH_H, 5, 0.10)
            + mountains(SPLASH_W, SPLASH_H, 420, 0.10 * title)
            + f'<circle cx="360" cy="215" r="150" fill="none" stroke="{INK}" '
              f'stroke-width="16" stroke-linecap="round" opacity="0.85" '
              f'stroke-dasharray="{circumference * drawn * 0.93:.1f} {circumference:.1f}" '
              f'transform="rotate(-100 360 215)"/>'
            + f'<g opacity="{title:.3f}">'
              f'<text x="360" y="215" font-family="{SERIF}" font-size="62" font-weight="bold" '
              f'text-anchor="middle" fill="{INK}" letter-spacing="4">Codexa</text>'
              f'<text x="360" y="262" font-family="{SERIF}" font-size="24" '
              f'text-anchor="middle" fill="{INK_SOFT}" letter-spacing="8">漢籍全文閲覧</text></g>')
    if seal > 0:
        scale = 1.6 - 0.6 * seal
        body += (f'<g transform="translate(470,300) scale({scale:.3f}) rotate(-6)" '
                 f'opacity="{seal:.3f}"><rect x="-30" y="-30" width="60" height="60" rx="6" '
                 f'fill="{SEAL}"/><text x="0" y="17" font-family="{SERIF}" font-weight="bold" '
                 f'font-size="38" text-anchor="middle" fill="#f6e7cf">籍</text></g>')
    if t >= 0.85:
        body += (f'<text x="360" y="430" font-family="{SERIF}" font-size="14" '
                 f'text-anchor="middle" fill="{INK_SOFT}">キーを押すかクリックして始めます</text>')
    return render(svg_doc(SPLASH_W, SPLASH_H, body), SPLASH_W, SPLASH_H).convert("RGB")


def splash_movie():
    count = 28
    frames = [splash_frame(i / (count - 1)) for i in range(count)]
    # One shared palette keeps the paper from flickering between frames.
    palette = frames[-1].quantize(colors=255, dither=Image.Dither.NONE)
    frames = [f.quantize(palette=palette, dither=Image.Dither.NONE) for f in frames]
    durations = [80] * (count - 1) + [60000]
    name = scaled_name("splash.gif")
    frames[0].save(os.path.join(OUT, name), save_all=True, append_images=frames[1:], duration=durations,
                   optimize=False, disposal=1)  # no loop: plays once
    print("wrote res/" + name)


def shell_pictures():
    """The pictures the shell draws in device pixels, at SCALE: the tool bar,
    the pager, the contents tree, the slider's cursor, the about box and the
    splash."""
    background = toolbar_background()
    save(background, "toolbar_back.png")
    for state in STATES:
        save(toolbar_strip(state, background), f"toolbar_{state}.png")
    save(pager_strip(-1), "pager_prev.png")
    save(pager_strip(+1), "pager_next.png")
    save(tree_images(), "tree.png")
    save(cursor_image(), "leftright.png")
    save(about_picture(), "about.png")
    if "--no-movie" not in sys.argv:
        splash_movie()


def main():
    """Every picture at its own size. The icons come in many sizes already
    and the page background is scaled by the web view, so only the shell's
    pictures have high-resolution forms (--scale 2)."""
    shell_pictures()
    icon_svg = seal_icon_svg(256)
    with open(os.path.join(OUT, "codexa.svg"), "w", encoding="utf-8") as f:
        f.write(icon_svg)
    for size in (16, 24, 32, 48, 64, 128, 256):
        save(render(icon_svg, size, size), f"icons/codexa-{size}.png")
    save(page_background(), "Back.gif")


if __name__ == "__main__":
    os.makedirs(os.path.join(OUT, "icons"), exist_ok=True)
    if "--scale" in sys.argv:
        SCALE = int(sys.argv[sys.argv.index("--scale") + 1])
        shell_pictures()
    else:
        main()
