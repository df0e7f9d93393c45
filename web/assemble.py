#!/usr/bin/python3
"""Assembles the one self-contained page: the lesson script (wasm embedded),
the page's script and style, and the fonts subset to the characters the page
can show, each embedded as a data URL, with the fonts' licences.

Usage: web/assemble.py LESSON_JS OUT_HTML PAGE_SCRIPT...
The page's scripts (web/js/*.js) are joined in the order given, each inside
a function of its own that receives the one namespace, Hayasa, as H.
"""

import base64
import glob
import io
import os
import re
import subprocess
import sys

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


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    lesson_js, out_html, scripts = sys.argv[1], sys.argv[2], sys.argv[3:]
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
    html = re.sub("|".join(re.escape(k) for k in parts), lambda m: parts[m.group(0)], html)
    os.makedirs(os.path.dirname(os.path.abspath(out_html)), exist_ok=True)
    with open(out_html, "w", encoding="utf-8") as f:
        f.write(html)
    size = os.path.getsize(out_html)
    limit = 1536 * 1024
    print("%s: %d bytes (%d characters in the Japanese faces)" % (out_html, size, len(text)))
    if size > limit:
        sys.exit("assemble.py: the page is larger than 1.5 MB")


if __name__ == "__main__":
    main()
