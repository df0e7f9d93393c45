// What moves on every tick of a run: the bars and the elapsed time.
// Changing elements costs the browser a style, layout and paint pass on
// every tick; small canvases beside them take those pixels instead, each
// just the size of what it shows, as the browser copies a canvas whole when
// it changes. A bar always lives on its canvas; a label's text goes to one
// only while a run's ticks change it. The elements, which assistive
// technology reads, catch up at most once a second and when the run ends.
//
// With `enabled` off (the page opened with ?plain=1) every change goes to
// the elements at once and no text is drawn on a canvas: the plain path, to
// compare pixels and costs with.

var tick = {
  enabled: new URLSearchParams(location.search).get("plain") !== "1",
  // Inside the handling of a tick of a running timer.
  inTick: false,
};
H.tick = tick;

var deferred = new Set();
var lastCatchUp = 0;
var CatchUpMs = 1000;

function deferring() {
  return tick.enabled && tick.inTick;
}

// A canvas over a control's place, width by height stage pixels from its corner.
tick.paintCanvas = function (c, width, height) {
  var canvas = document.createElement("canvas");
  canvas.className = "paint";
  canvas.setAttribute("aria-hidden", "true");
  canvas.hidden = true;
  canvas.left = c.left; // on the stage
  canvas.top = c.top;
  canvas.parentLeft = c.left - c.def.left;
  canvas.parentTop = c.top - c.def.top;
  canvas.stageWidth = width;
  canvas.stageHeight = height;
  c.el.parentNode.insertBefore(canvas, c.el.nextSibling);
  // Kept in memory rather than on the graphics card: WebKit puts a canvas of
  // 16512 device pixels or more (128 x 129) there, on a layer of its own,
  // and when a resize makes it smaller than that, the screen goes on showing
  // that layer's last pixels whatever is drawn afterwards (a finished bar
  // stays in its emptied track).
  canvas.ctx = canvas.getContext("2d", { willReadFrequently: true });
  scaleCanvas(canvas);
  return canvas;
};

// The canvas covers whole device pixels, as the drawing surface does, so
// that a scaled stage shows its pixels as they are drawn rather than
// resampled. Returns whether the backing store changed, which wipes it.
function scaleCanvas(canvas) {
  var snap = H.stage.snap,
    k = H.stage.scale;
  var x0 = snap(canvas.left),
    y0 = snap(canvas.top);
  var w = snap(canvas.left + canvas.stageWidth) - x0;
  var h = snap(canvas.top + canvas.stageHeight) - y0;
  if (canvas.width === w && canvas.height === h && canvas.scale === k) return false;
  canvas.style.left = x0 / k - canvas.parentLeft + "px";
  canvas.style.top = y0 / k - canvas.parentTop + "px";
  canvas.style.width = w / k + "px";
  canvas.style.height = h / k + "px";
  canvas.width = w;
  canvas.height = h;
  canvas.x0 = x0;
  canvas.y0 = y0;
  canvas.scale = k;
  canvas.fill = -1;
  canvas.painted = 0;
  canvas.font = "";
  return true;
}

// A rectangle in stage pixels from the control's corner; color -1 clears.
function canvasRect(canvas, color, l, t, r, b) {
  var snap = H.stage.snap;
  var x = snap(canvas.left + l) - canvas.x0,
    y = snap(canvas.top + t) - canvas.y0,
    w = snap(canvas.left + r) - canvas.x0 - x,
    h = snap(canvas.top + b) - canvas.y0 - y;
  if (color < 0) {
    canvas.ctx.clearRect(x, y, w, h);
    return;
  }
  if (canvas.fill !== color) {
    canvas.ctx.fillStyle = H.css(color);
    canvas.fill = color;
  }
  canvas.ctx.fillRect(x, y, w, h);
}

// ---- Bars ----

tick.barClear = function (bar) {
  canvasRect(bar.canvas, -1, 0, 0, bar.canvas.stageWidth, bar.canvas.stageHeight);
};

tick.barFill = function (bar, l, t, r, b, color) {
  canvasRect(bar.canvas, color, l, t, r, b);
};

tick.barWidth = function (bar) {
  if (deferring()) deferred.add(bar);
  else bar.el.style.width = bar.width + "px";
};

// ---- The elapsed time ----

// The ticker draws in stage pixels from the label's corner.
function tickerFont(c) {
  var canvas = c.ticker;
  var font = H.fontOf(c.def);
  if (canvas.font !== font) {
    var k = H.stage.scale;
    canvas.ctx.setTransform(k, 0, 0, k, canvas.left * k - canvas.x0, canvas.top * k - canvas.y0);
    canvas.ctx.font = canvas.font = font;
  }
  return font;
}

tick.caption = function (c) {
  if (!tick.enabled) {
    c.showText();
    return;
  }
  // A label whose text changes gets its canvas at once, its font set,
  // before a run's first tick would have to make one.
  if (!c.ticker) {
    c.ticker = tick.paintCanvas(c, H.stage.Width - c.left, c.def.height);
    c.ticker.hidden = false;
    tickerFont(c);
  }
  if (deferring()) {
    deferred.add(c);
    paintCaption(c);
    return;
  }
  tick.endCaption(c);
};

// The label's text on the canvas over the element, painted as the element
// would: the text on the label's background, covering the element and the
// text's advance. Text drawn onto that opaque background gets the same
// pixels as the element's; drawn on a clear canvas its edges would blend
// differently.
function paintCaption(c) {
  var canvas = c.ticker;
  var ctx = canvas.ctx;
  var font = tickerFont(c);
  var width = Math.max(H.advance(c.text, font), c.shownWidth);
  if (width < canvas.painted) ctx.clearRect(width, 0, canvas.painted - width, c.def.height);
  canvas.painted = width;
  ctx.fillStyle = H.css(H.windowColor);
  ctx.fillRect(0, 0, width, c.def.height);
  ctx.fillStyle = H.css(c.def.fontColor);
  // The baseline where the element puts it.
  var ascent = c.def.face === H.LatinFace ? H.LatinAscent : H.GothicAscent;
  ctx.fillText(c.text, 0, Math.round(c.def.pixels * ascent));
}

// The element shows the text itself again, and the canvas nothing.
tick.endCaption = function (c) {
  c.showText();
  var canvas = c.ticker;
  if (canvas && canvas.painted) {
    canvas.ctx.save();
    canvas.ctx.setTransform(1, 0, 0, 1, 0, 0);
    canvas.ctx.clearRect(0, 0, canvas.width, canvas.height);
    canvas.ctx.restore();
    canvas.painted = 0;
  }
};

// ---- Around a tick ----

// After a tick: a label's element takes its text once a second, for screen
// readers, under the canvas that goes on showing it; when no run ticks any
// more every element catches up for good.
tick.after = function (running) {
  if (!running) {
    deferred.forEach(function (c) {
      if (c.ticker) tick.endCaption(c);
      else c.el.style.width = c.width + "px";
    });
    deferred.clear();
    return;
  }
  var now = performance.now();
  if (now - lastCatchUp < CatchUpMs) return;
  lastCatchUp = now;
  deferred.forEach(function (c) {
    if (!c.ticker || c.el.textContent === c.text) return;
    // The text may now reach past the element's width, which follows at
    // the run's end: the canvas covers as far as it reaches.
    c.el.textContent = c.text;
    c.shownWidth = Math.max(c.shownWidth, H.advance(c.text, H.fontOf(c.def)));
  });
};

tick.started = function () {
  lastCatchUp = performance.now();
};

tick.clear = function () {
  deferred.clear();
};

// At a new scale every canvas is sized anew; the bars are painted again by
// the lesson's toolkit (bridge), a running caption here.
H.stage.rescaled.push(function () {
  Object.keys(H.controls).forEach(function (id) {
    var c = H.controls[id];
    if (c.canvas) scaleCanvas(c.canvas);
    if (c.ticker && scaleCanvas(c.ticker) && deferred.has(c)) paintCaption(c);
  });
});
