// The window's drawing surface: a canvas of the stage's size at the
// device's resolution. The lesson's canvas sends its primitives here; at a
// new scale the canvas is sized anew and the lesson draws it all again.

var surface = { canvas: null, ctx: null };
H.surface = surface;

surface.init = function () {
  surface.canvas = document.getElementById("surface");
  surface.ctx = surface.canvas.getContext("2d", { alpha: false });
  H.stage.rescaled.push(function () {
    var w = Math.round(H.stage.Width * H.stage.scale);
    var h = Math.round(H.stage.Height * H.stage.scale);
    if (surface.canvas.width === w && surface.canvas.height === h && surface.drawnAt === H.stage.scale)
      return;
    surface.canvas.width = w;
    surface.canvas.height = h;
    surface.drawnAt = H.stage.scale;
    H.bridge.replay();
  });
};

surface.textWidth = function (text, pixels) {
  return H.textWidth(text, H.surfaceFont(pixels));
};

surface.fill = function (l, t, r, b, color) {
  var ctx = surface.ctx;
  var snap = H.stage.snap;
  var x = snap(l),
    y = snap(t);
  ctx.setTransform(1, 0, 0, 1, 0, 0);
  ctx.fillStyle = H.css(color);
  ctx.fillRect(x, y, snap(r) - x, snap(b) - y);
};

// The glyphs of a text run on the cell just filled, clipped to it.
surface.text = function (x, y, text, pixels, color, l, t, r, b) {
  var ctx = surface.ctx;
  var snap = H.stage.snap;
  var k = H.stage.scale;
  ctx.save();
  ctx.beginPath();
  ctx.rect(snap(l), snap(t), snap(r) - snap(l), snap(b) - snap(t));
  ctx.clip();
  ctx.setTransform(k, 0, 0, k, 0, 0);
  ctx.font = H.surfaceFont(pixels);
  ctx.fillStyle = H.css(color);
  ctx.textBaseline = "alphabetic";
  ctx.fillText(text, x, y + Math.round(pixels * H.GothicAscent));
  ctx.restore();
};
