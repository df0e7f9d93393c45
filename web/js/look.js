// The layout's look on the page: its faces, their metrics, colours as CSS,
// and text measured in a face as the stage draws it.

// The faces by the layout's enumeration: Gothic, Mincho, the credit's Latin.
H.Faces = [
  '"HayasaGothic", "IPAPGothic", "IPA Pゴシック", sans-serif',
  '"HayasaMincho", "IPAMincho", "IPA明朝", serif',
  '"HayasaLatin", "C059", "Century Schoolbook", serif',
];
H.LatinFace = 2;

// The Gothic face's ascender and descender as shares of the em (set by the
// assembler from the embedded font; the IPA faces' own values otherwise).
var metrics = window.HayasaFontMetrics || {};
H.GothicAscent = metrics.gothicAscent || 1802 / 2048;
H.GothicDescent = metrics.gothicDescent || 246 / 2048;
// The Latin face's line is set on its Windows ascent on the desktop, far
// above its own ascender.
H.LatinAscent = metrics.latinAscent || 1090 / 1000;

H.css = function (color) {
  return "rgb(" + (color & 0xff) + ", " + ((color >>> 8) & 0xff) + ", " + ((color >>> 16) & 0xff) + ")";
};

H.fontOf = function (d) {
  return (d.italic ? "italic " : "") + (d.bold ? "bold " : "") + d.pixels + "px " + H.Faces[d.face];
};

H.surfaceFont = function (pixels) {
  return pixels + "px " + H.Faces[0];
};

// The height of a line of the Gothic face, whole pixels above and below the
// baseline, as the desktop's font metrics give it.
H.fontLineHeight = function (pixels) {
  return Math.ceil(pixels * H.GothicAscent - 1e-6) + Math.ceil(pixels * H.GothicDescent - 1e-6);
};

var measureCtx = document.createElement("canvas").getContext("2d");
var measureFont = "";
H.exactTextWidth = function (text, font) {
  // Setting a canvas font parses it: only when it changes.
  if (font !== measureFont) measureCtx.font = measureFont = font;
  return measureCtx.measureText(text).width;
};

H.textWidth = function (text, font) {
  return Math.round(H.exactTextWidth(text, font));
};

// The width of a text as the sum of its characters' advances, each
// measured once: measuring a whole new text on every tick of a run costs
// more than the rest of the tick's script together. The Japanese faces have
// no kerning, so for them the sum is the text's width.
var advances = {};
H.advance = function (text, font) {
  var known = advances[font] || (advances[font] = {});
  var sum = 0;
  for (var i = 0; i < text.length; i++) {
    var ch = text[i];
    var w = known[ch];
    if (w === undefined) w = known[ch] = H.exactTextWidth(ch, font);
    sum += w;
  }
  return Math.round(sum);
};

H.windowColor = 0xf0f0f0;
H.setWindowColor = function (color) {
  H.windowColor = color;
  var root = document.documentElement.style;
  root.setProperty("--window", H.css(color));
  // The lists' frames are drawn in a darker shade of the window's colour,
  // their arrow buttons' edges a little lighter than the frames.
  root.setProperty("--outline", H.css(scaled(color, 100 / 140)));
  root.setProperty("--separator", H.css(scaled(scaled(color, 100 / 140), 1.1)));
};

function scaled(color, factor) {
  var out = 0;
  for (var shift = 0; shift <= 16; shift += 8) {
    var v = Math.min(255, Math.round(((color >>> shift) & 0xff) * factor));
    out |= v << shift;
  }
  return out >>> 0;
}

H.setButtonFace = function (color) {
  document.documentElement.style.setProperty("--button-face", H.css(color));
};
