// The stage is the window's client area: 1024 x 768 stage pixels, scaled as
// a whole to fit the viewport and centred, the window colour in the margins.

var stage = {
  Width: 1024,
  Height: 768,
  el: null, // the box the stage takes in the viewport
  inner: null, // the controls, in stage pixels, zoomed to that box
  // Device pixels per stage pixel: what every canvas is drawn at.
  scale: 1,
  rescaled: [], // called once the scale has changed
};
H.stage = stage;

// Where a point of the viewport stands on the stage, in stage pixels.
stage.fromViewport = function (clientX, clientY) {
  var r = stage.el.getBoundingClientRect();
  var s = r.width / stage.Width;
  return { x: (clientX - r.left) / s, y: (clientY - r.top) / s };
};

// A stage coordinate on the device's pixel grid.
stage.snap = function (v) {
  return Math.round(v * stage.scale);
};

stage.init = function () {
  stage.el = document.getElementById("stage");
  stage.inner = document.getElementById("scaled");
  window.addEventListener("resize", stage.fit);
  watchDevicePixelRatio();
};

stage.fit = function () {
  var vw = document.documentElement.clientWidth;
  var vh = document.documentElement.clientHeight;
  var dpr = window.devicePixelRatio || 1;
  var s = Math.min(vw / stage.Width, vh / stage.Height);
  if (!(s > 0)) return; // not laid out yet (a hidden frame)
  // Whole device pixels for the stage's corner keep its edges sharp.
  var left = Math.round(((vw - stage.Width * s) / 2) * dpr) / dpr;
  var top = Math.round(((vh - stage.Height * s) / 2) * dpr) / dpr;
  var el = stage.el;
  el.style.left = left + "px";
  el.style.top = top + "px";
  el.style.width = stage.Width * s + "px";
  el.style.height = stage.Height * s + "px";
  stage.inner.style.zoom = String(s);
  // The message box grows with the stage on a large screen.
  document.documentElement.style.setProperty("--stage-scale", String(s));
  // CSS pixels per stage pixel.
  stage.cssScale = s;
  var k = s * dpr;
  if (k !== stage.scale || !stage.fitted) {
    stage.scale = k;
    stage.fitted = true;
    stage.rescaled.forEach(function (f) {
      f();
    });
  }
};

var dprQuery = null;
function watchDevicePixelRatio() {
  if (!window.matchMedia) return;
  if (dprQuery && dprQuery.removeEventListener) dprQuery.removeEventListener("change", onDprChange);
  dprQuery = window.matchMedia("(resolution: " + (window.devicePixelRatio || 1) + "dppx)");
  if (dprQuery.addEventListener) dprQuery.addEventListener("change", onDprChange);
}
function onDprChange() {
  stage.fit();
  watchDevicePixelRatio();
}
