#!/usr/bin/python3
"""Assembles the one self-contained page: the lesson script (wasm embedded),
the page's script and style, and the fonts subset to the characters the page
can show, each embedded as a data URL, with the fonts' licences.

Usage: web/assemble.py LESSON_JS OUT_HTML HOSTED_DIR PAGE_SCRIPT...
The page's scripts (web/js/*.js) are joined in the order given, each inside
a function of its own that receives the one namespace, Hayasa, as H.

OUT_HTML is the page as one file, for opening from a disk. HOSTED_DIR gets the
same page as index.html for a web server, with what installs it as an app and
keeps it offline: a web app manifest, its icons (made from the program's own
icon) and a service worker.
"""

import base64
import glob
import hashlib
import io
import json
import os
import re
import struct
import subprocess
import sys
import zlib

from fontTools import subset
from fontTools.ttLib import TTFont

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

# Where Debian's font packages put the faces the desktop window uses too.
GOTHIC = ("IPAPGothic", "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf")
MINCHO = ("IPAMincho", "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf")
LATIN = ("C059:style=Italic", "/usr/share/fonts/opentype/urw-base35/C059-Italic.otf")


def font_file(face):
    """The installed file of a face: fontconfig's answer, else Debian's path."""
    pattern, fallback = face
    try:
        out = subprocess.run(["fc-match", "-f", "%{file}", pattern], capture_output=True, text=True, check=True)
        path = out.stdout.strip()
        if path and os.path.basename(path) == os.path.basename(fallback):
            return path
    except (OSError, subprocess.CalledProcessError):
        pass
    if not os.path.exists(fallback):
        sys.exit("assemble.py: font missing: %s (scripts/deps.sh web installs it)" % fallback)
    return fallback


def page_characters():
    """Every character the page can show: the texts of the lesson and of the
    page (captions, list items, labels, messages), taken from their sources,
    with the digits and everything else one can type into a list's field."""
    chars = set(chr(c) for c in range(0x20, 0x7F))
    sources = [
        path
        for folder in ("lesson", "interaction", "web", "web/js")
        for path in glob.glob(os.path.join(ROOT, folder, "*"))
        if os.path.splitext(path)[1] in (".cpp", ".h", ".hpp", ".inc", ".def", ".js", ".html")
    ]
    for path in sources:
        with open(path, encoding="utf-8") as f:
            text = f.read()
        # Texts are string literals; in the page's HTML, everything.
        if path.endswith(".html"):
            chars.update(c for c in text if ord(c) >= 0x80)
        else:
            for literal in re.findall(r'"((?:[^"\\\n]|\\.)*)"', text):
                chars.update(c for c in literal if ord(c) >= 0x80)
    # The lists' items are numerals built in code, "1" to "1000": digits.
    chars.update("0123456789")
    return "".join(sorted(chars))


def subset_font(path, text, family):
    """The face reduced to the given characters, renamed (a changed font may
    not carry the original's name), as WOFF2 when brotli is there."""
    options = subset.Options()
    options.flavor = "woff2"
    try:
        import brotli  # noqa: F401
    except ImportError:
        options.flavor = "woff"
    options.hinting = False
    options.desubroutinize = True
    options.name_IDs = [0, 1, 2, 3, 4, 5, 6, 13, 14]
    options.name_languages = ["*"]
    font = TTFont(path, recalcTimestamp=False)  # the same page from the same sources
    sub = subset.Subsetter(options)
    sub.populate(text=text)
    sub.subset(font)
    names = font["name"]
    for record in names.names:
        if record.nameID in (1, 4, 6):
            record.string = family
        elif record.nameID == 3:
            record.string = family + " subset"
    out = io.BytesIO()
    font.flavor = options.flavor
    font.save(out)
    hhea = font["hhea"]
    em = font["head"].unitsPerEm
    # The desktop sets a line of the credit's face on the Windows ascent.
    metrics = {
        "ascent": hhea.ascent / em,
        "descent": -hhea.descent / em,
        "winAscent": font["OS/2"].usWinAscent / em,
    }
    return out.getvalue(), options.flavor, metrics


def font_face(family, data, flavor, style="normal"):
    b64 = base64.b64encode(data).decode("ascii")
    return (
        "@font-face { font-family: %s; font-style: %s; font-weight: normal; "
        "src: url(data:font/%s;base64,%s) format(\"%s\"); }" % (family, style, flavor, b64, flavor)
    )


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def comment_safe(text):
    # An HTML comment may not hold "--".
    return re.sub(r"-(?=-)", "- ", text)


def script_safe(text):
    # Inline scripts end at the first "</script"; none may appear inside.
    return text.replace("</script", "<\\/script")


def page_script(paths):
    """The page's modules in one script under one namespace."""
    parts = ["var Hayasa = {};"]
    for path in paths:
        parts.append('// ---- web/%s ----\n(function (H) {\n"use strict";\n%s\n})(Hayasa);' % (path, read(os.path.join(HERE, path))))
    return "\n".join(parts)


# ---- The hosted edition ----

TITLE = "速さの比べ方"
WINDOW_COLOUR = "#80ff80"  # the window's colour, $80FF80


def xpm_pixels(path):
    """Rows of (r, g, b) of the program's icon, an XPM with one character a pixel."""
    lines = re.findall(r'"([^"]*)"', read(path))
    width, height, colours, _ = (int(v) for v in lines[0].split())
    table = {}
    for line in lines[1 : 1 + colours]:
        key, value = line[0], line.split("c", 1)[1].strip()
        table[key] = tuple(int(value[i : i + 2], 16) for i in (1, 3, 5))
    return [[table[ch] for ch in row] for row in lines[1 + colours : 1 + colours + height]]


def png(rows):
    """An 8-bit RGB PNG of these rows."""
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def icon(pixels, size, scale):
    """The icon enlarged pixel for pixel, centred on the window's colour."""
    fill = tuple(int(WINDOW_COLOUR[i : i + 2], 16) for i in (1, 3, 5))
    side = len(pixels) * scale
    margin = (size - side) // 2
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            inside = margin <= x < margin + side and margin <= y < margin + side
            row.append(pixels[(y - margin) // scale][(x - margin) // scale] if inside else fill)
        rows.append(row)
    return png(rows)


def write_hosted(out_dir, page):
    """index.html, the manifest, the icons and the service worker."""
    os.makedirs(out_dir, exist_ok=True)
    pixels = xpm_pixels(os.path.join(ROOT, "ui", "mainicon.xpm"))
    files = {
        # The maskable one keeps the picture within the middle 80 % that any
        # mask leaves whole.
        "icon-192.png": icon(pixels, 192, 6),
        "icon-512.png": icon(pixels, 512, 16),
        "icon-maskable-512.png": icon(pixels, 512, 9),
        "apple-touch-icon.png": icon(pixels, 180, 5),
    }
    manifest = {
        "id": "./",
        "name": TITLE,
        "short_name": TITLE,
        "lang": "ja",
        "start_url": "./",
        "scope": "./",
        "display": "standalone",
        "orientation": "landscape",
        "theme_color": WINDOW_COLOUR,
        "background_color": WINDOW_COLOUR,
        "icons": [
            {"src": "icon-192.png", "sizes": "192x192", "type": "image/png", "purpose": "any"},
            {"src": "icon-512.png", "sizes": "512x512", "type": "image/png", "purpose": "any"},
            {"src": "icon-maskable-512.png", "sizes": "512x512", "type": "image/png", "purpose": "maskable"},
        ],
    }
    files["manifest.webmanifest"] = (json.dumps(manifest, ensure_ascii=False, indent=1) + "\n").encode("utf-8")
    files["index.html"] = page.encode("utf-8")
    # The cache is named by everything it holds: a new build, a new cache.
    digest = hashlib.sha256()
    for name in sorted(files):
        digest.update(name.encode() + b"\0" + files[name])
    cached = ["./"] + sorted(files)
    worker = read(os.path.join(HERE, "host", "sw.js"))
    worker = worker.replace("@CACHE@", "hayasa-" + digest.hexdigest()[:16]).replace("@FILES@", json.dumps(cached))
    files["sw.js"] = worker.encode("utf-8")
    for name, data in files.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)


HOSTED_HEAD = """<meta name="hayasa-hosted" content="1">
<link rel="manifest" href="manifest.webmanifest">
<meta name="theme-color" content="%s">
<meta name="mobile-web-app-capable" content="yes">
<meta name="apple-mobile-web-app-capable" content="yes">
<meta name="apple-mobile-web-app-title" content="%s">
<meta name="apple-mobile-web-app-status-bar-style" content="default">
<link rel="apple-touch-icon" href="apple-touch-icon.png">
<link rel="icon" href="icon-192.png">""" % (WINDOW_COLOUR, TITLE)


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    lesson_js, out_html, hosted_dir, scripts = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    text = page_characters()
    gothic, flavor, gothic_metrics = subset_font(font_file(GOTHIC), text, "HayasaGothic")
    mincho, _, _ = subset_font(font_file(MINCHO), text, "HayasaMincho")
    latin, _, latin_metrics = subset_font(font_file(LATIN), "".join(chr(c) for c in range(0x20, 0x7F)), "HayasaLatin")
    fonts = "\n".join(
        [
            font_face("HayasaGothic", gothic, flavor),
            font_face("HayasaMincho", mincho, flavor),
            font_face("HayasaLatin", latin, flavor, "italic"),
        ]
    )
    licences = (
        "<!--\nThe Japanese faces are IPAPGothic and IPAMincho, reduced to the characters\n"
        "this page shows by web/assemble.py (fontTools) and renamed HayasaGothic and\n"
        "HayasaMincho; running web/assemble.py with the original fonts of the IPA\n"
        "(https://moji.or.jp/ipafont/) puts them back. The credit's face is C059 Italic\n"
        "of the URW base 35 fonts, reduced the same way.\n\n"
        + comment_safe(read(os.path.join(HERE, "fonts", "IPA_Font_License.txt")))
        + "\n\n"
        + comment_safe(read(os.path.join(HERE, "fonts", "URW_Base35_License.txt")))
        + "\n-->"
    )
    metrics = "var HayasaFontMetrics = { gothicAscent: %r, gothicDescent: %r, latinAscent: %r };" % (
        gothic_metrics["ascent"],
        gothic_metrics["descent"],
        latin_metrics["winAscent"],
    )
    html = read(os.path.join(HERE, "page.html"))
    parts = {
        "<!--@HOSTED@-->": "",
        "<!--@LICENCES@-->": licences,
        "@FONTS@": fonts,
        "@STYLE@": read(os.path.join(HERE, "page.css")),
        "@METRICS@": metrics,
        "@PAGE@": script_safe(page_script(scripts)),
        "@LESSON@": script_safe(read(lesson_js)),
        "@BOOT@": script_safe(read(os.path.join(HERE, "js", "boot.js"))),
    }
    for key in parts:
        if html.count(key) != 1:
            sys.exit("assemble.py: page.html must hold %s once" % key)
    # One pass, so that no inserted text is searched for the next key.
    template = html
    html = re.sub("|".join(re.escape(k) for k in parts), lambda m: parts[m.group(0)], template)
    os.makedirs(os.path.dirname(os.path.abspath(out_html)), exist_ok=True)
    with open(out_html, "w", encoding="utf-8") as f:
        f.write(html)
    parts["<!--@HOSTED@-->"] = HOSTED_HEAD
    write_hosted(hosted_dir, re.sub("|".join(re.escape(k) for k in parts), lambda m: parts[m.group(0)], template))
    size = os.path.getsize(out_html)
    limit = 1536 * 1024
    print("%s: %d bytes (%d characters in the Japanese faces)" % (out_html, size, len(text)))
    if size > limit:
        sys.exit("assemble.py: the page is larger than 1.5 MB")


if __name__ == "__main__":
    main()
