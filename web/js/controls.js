// The stage's controls: labels, bars and group boxes here, lists and
// buttons in their own files. Every control is an element of the stage with
// its layout name as id, placed in stage pixels inside its parent.

H.controls = {}; // by control id

// The fields every control shares: where it stands on the stage.
function Control(d) {
  this.def = d;
  this.id = d.id;
  var outer = d.parent < 0 ? null : H.controls[d.parent];
  this.left = d.left + (outer ? outer.left : 0);
  this.top = d.top + (outer ? outer.top : 0);
  this.parentEl = outer ? outer.el : H.stage.inner;
}
H.Control = Control;

Control.prototype.mount = function (el) {
  var d = this.def;
  this.el = el;
  el.id = d.name;
  el.dataset.ctl = d.id;
  el.style.left = d.left + "px";
  el.style.top = d.top + "px";
  el.style.width = d.width + "px";
  el.style.height = d.height + "px";
  if (d.pixels > 0) el.style.font = H.fontOf(d);
  el.style.color = H.css(d.fontColor);
  if (d.accessibleName) el.setAttribute("aria-label", d.accessibleName);
  el.hidden = !d.visible;
  this.parentEl.insertBefore(el, this.parentEl === H.stage.inner ? document.getElementById("popups") : null);
};

Control.prototype.setVisible = function (visible) {
  var hadFocus = !visible && this.el.contains(document.activeElement);
  this.el.hidden = !visible;
  if (this.shown) this.shown(visible);
  // The focus of a control that goes moves on along the tab chain, as on
  // the desktop, rather than leaving the keyboard nowhere.
  if (hadFocus) H.focusControl(H.bridge.nextFocus(this.id));
};

Control.prototype.remove = function () {
  [this.el, this.canvas, this.ticker, this.listbox].forEach(function (el) {
    if (el && el.parentNode) el.remove();
  });
};

// ---- Labels ----

function Label(d) {
  Control.call(this, d);
  var el = document.createElement("div");
  el.className = "label";
  el.textContent = this.text = d.caption;
  this.shownWidth = d.width;
  if (d.face === H.LatinFace) {
    el.classList.add("latin");
    el.style.setProperty("--ascent", Math.round(d.pixels * H.LatinAscent) + "px");
  }
  this.mount(el);
}
Label.prototype = Object.create(Control.prototype);

Label.prototype.setCaption = function (text) {
  this.text = text;
  H.tick.caption(this);
};

// A label is as wide as its text, whether or not the element shows it yet.
Label.prototype.captionWidth = function () {
  return H.textWidth(this.text, H.fontOf(this.def));
};

// The element shows the text itself.
Label.prototype.showText = function () {
  if (this.el.textContent === this.text) return;
  this.el.textContent = this.text;
  this.shownWidth = this.captionWidth();
  this.el.style.width = this.shownWidth + "px";
};

Label.prototype.shown = function (visible) {
  if (!visible) H.tick.endCaption(this);
};

// ---- Bars ----

// The element is for assistive technology; the bar is painted on a canvas
// beside it, with the fills the lesson's toolkit sends.
function Bar(d) {
  Control.call(this, d);
  var el = document.createElement("div");
  el.className = "shape";
  el.setAttribute("role", "img");
  this.mount(el);
  this.canvas = H.tick.paintCanvas(this, d.width, d.height);
  this.canvas.hidden = !d.visible;
}
Bar.prototype = Object.create(Control.prototype);

Bar.prototype.setWidth = function (width) {
  this.width = width;
  H.tick.barWidth(this);
};

Bar.prototype.shown = function (visible) {
  this.canvas.hidden = !visible;
};

// ---- Group boxes ----

var CaptionLeft = 8; // an entry box's caption starts this far from its left edge

function GroupBox(d) {
  Control.call(this, d);
  var el = document.createElement("div");
  el.className = "group";
  el.setAttribute("role", "group");
  // Etched: a shadow line with a highlight line one pixel inside it, its
  // top edge at half the caption's line; the caption covers that edge on
  // the box's colour.
  var line = H.fontLineHeight(d.pixels);
  var top = Math.floor(line / 2);
  ["light", "shadow"].forEach(function (kind, i) {
    var frame = document.createElement("div");
    frame.className = "frame " + kind;
    frame.style.left = 1 - i + "px";
    frame.style.top = top + 1 - i + "px";
    frame.style.width = d.width - 1 + "px";
    frame.style.height = d.height - top - 1 + "px";
    el.appendChild(frame);
  });
  var title = document.createElement("div");
  title.className = "title";
  title.textContent = d.caption;
  title.style.left = CaptionLeft + "px";
  title.style.height = line + "px";
  title.style.lineHeight = d.pixels + "px";
  el.appendChild(title);
  el.setAttribute("aria-label", d.caption);
  this.mount(el);
}
GroupBox.prototype = Object.create(Control.prototype);

// ---- The stage's controls ----

var kinds = { label: Label, shape: Bar, group: GroupBox };

H.createControl = function (d) {
  var Kind = kinds[d.kind] || (d.kind === "list" ? H.ListView : d.kind === "button" ? H.Button : null);
  if (Kind) H.controls[d.id] = new Kind(d);
};

H.clearControls = function () {
  Object.keys(H.controls).forEach(function (id) {
    H.controls[id].remove();
  });
  H.controls = {};
};

// The focusable elements stand in the order the Tab key visits them, each
// group box with its lists in the place of its first one.
H.tabOrder = function (ids) {
  var stageEl = H.stage.inner;
  var popups = document.getElementById("popups");
  ids.forEach(function (id) {
    var c = H.controls[id];
    if (!c) return;
    c.el.tabIndex = 0;
    var top = c.parentEl === stageEl ? c.el : c.parentEl;
    stageEl.insertBefore(top, popups);
    if (top !== c.el) c.parentEl.appendChild(c.el);
  });
};

H.focusControl = function (id) {
  var c = H.controls[id];
  if (c && c.el.getClientRects().length) c.el.focus({ preventScroll: true });
};
