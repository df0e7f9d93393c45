// A drop-down list on the page: its field, its arrow button and the
// dropped-down rows, as a view of the list's model in the lesson's toolkit.
// It shows what the model says (text, selection, caret, open, highlighted
// row) and hands every key, press, pick, hover, wheel turn and focus change
// to it; the model raises the events.

var ArrowGlyphHeight = 4;
// Scroll bar and a row's padding beside the widest item.
var PopupRoom = 8 + 20;

function ListView(d) {
  H.Control.call(this, d);
  var self = this;
  var el = document.createElement("div");
  el.className = "list";
  el.setAttribute("role", "combobox");
  el.setAttribute("aria-expanded", "false");
  el.setAttribute("aria-haspopup", "listbox");
  el.setAttribute("aria-controls", d.name + "-list");
  this.font = H.fontOf(d);
  this.items = d.items;
  this.field = document.createElement("span");
  this.field.className = "field";
  // A pixel clear above and below the text line, the text centred in the
  // rest, puts it on the desktop field's baseline.
  this.field.style.lineHeight = d.height - 4 + "px";
  this.arrow = document.createElement("span");
  this.arrow.className = "arrow";
  this.arrow.setAttribute("aria-hidden", "true");
  this.glyph = document.createElement("span");
  this.glyph.className = "glyph";
  this.arrow.appendChild(this.glyph);
  el.appendChild(this.field);
  el.appendChild(this.arrow);

  var list = document.createElement("div");
  list.id = d.name + "-list";
  list.className = "listbox";
  list.setAttribute("role", "listbox");
  if (d.accessibleName) list.setAttribute("aria-label", d.accessibleName);
  list.hidden = true;
  list.style.font = this.font;
  this.options = d.items.map(function (text, i) {
    var o = document.createElement("div");
    o.id = d.name + "-o" + i;
    o.setAttribute("role", "option");
    o.setAttribute("aria-selected", "false");
    o.textContent = text;
    o.style.height = o.style.lineHeight = d.itemHeight + "px";
    list.appendChild(o);
    return o;
  });
  // Never elide an item: the list is as wide as its widest item needs,
  // the scroll bar beside it, and at least as wide as the field.
  // The sizes are the rows' alone, the border around them (its height is set
  // when it drops down): scaled, a border is drawn at least a device pixel
  // wide, and the rows must still fit.
  list.style.width = Math.max(d.width, this.widestItem() + PopupRoom) - 2 + "px";
  document.getElementById("popups").appendChild(list);
  this.listbox = list;
  this.state = { text: "", selStart: 0, selEnd: 0, caret: 0, open: false, highlight: -1, focused: false };
  this.byFinger = false;
  this.mount(el);
  this.listen();
  this.renderField();
}
ListView.prototype = Object.create(H.Control.prototype);
H.ListView = ListView;

ListView.prototype.widestItem = function () {
  var font = this.font;
  return this.items.reduce(function (w, text) {
    return Math.max(w, Math.ceil(H.exactTextWidth(text, font)));
  }, 0);
};

// The field and the arrow button as the list's geometry places them.
ListView.prototype.place = function (arrowWidth, fieldWidth) {
  var d = this.def;
  // Offsets inside the one-pixel frame.
  this.field.style.left = H.FieldInset - 1 + "px";
  this.field.style.width = fieldWidth + "px";
  this.arrow.style.left = d.width - 2 - arrowWidth + "px";
  this.arrow.style.width = arrowWidth + "px";
  // The glyph is centred on the button with the frame's right edge, to the
  // half pixel.
  this.glyph.style.left = (arrowWidth - 9) / 2 + "px";
  this.glyph.style.top = (d.height - ArrowGlyphHeight) / 2 - 1 + "px";
  this.arrowWidth = arrowWidth;
};

ListView.prototype.render = function (s) {
  var was = this.state;
  this.state = s;
  if (s.open !== was.open) {
    if (s.open) this.openListbox();
    else this.listbox.hidden = true;
    this.el.setAttribute("aria-expanded", String(s.open));
  }
  if (s.open) this.setHighlight(s.highlight, s.highlight !== was.highlight || !was.open);
  else if (was.highlight >= 0) this.setHighlight(-1, false);
  this.renderField();
};

// Rows a finger can hit: at least this tall on the screen, whatever the
// stage's scale.
var FingerRow = 44;

ListView.prototype.openListbox = function () {
  var d = this.def;
  var cssPerStage = H.stage.cssScale || 1;
  // Dropped down by a finger, or on a device whose pointer is one, the rows
  // grow to a finger's size; with a mouse they keep the layout's height.
  var row = this.byFinger || H.coarsePointer() ? Math.max(d.itemHeight, Math.ceil(FingerRow / cssPerStage)) : d.itemHeight;
  var below = this.top + d.height;
  var room = Math.max(H.stage.Height - below, this.top);
  var rows = Math.max(1, Math.min(H.VisibleRows, this.items.length, Math.floor((room - 2) / row)));
  var height = rows * row + 2;
  this.options.forEach(function (o) {
    if (o.rowHeight !== row) {
      o.style.height = o.style.lineHeight = row + "px";
      o.rowHeight = row;
    }
  });
  this.rowHeight = row;
  this.listbox.style.height = height - 2 + "px";
  this.listbox.style.left = this.left + "px";
  this.listbox.style.top = (below + height <= H.stage.Height ? below : Math.max(0, this.top - height)) + "px";
  this.listbox.hidden = false;
};

ListView.prototype.setHighlight = function (index, scroll) {
  var old = this.highlighted;
  if (old >= 0 && this.options[old]) {
    this.options[old].classList.remove("highlight");
    this.options[old].setAttribute("aria-selected", "false");
  }
  this.highlighted = index;
  var o = index >= 0 ? this.options[index] : null;
  if (!o) {
    this.el.removeAttribute("aria-activedescendant");
    return;
  }
  o.classList.add("highlight");
  o.setAttribute("aria-selected", "true");
  this.el.setAttribute("aria-activedescendant", o.id);
  if (scroll) {
    var h = this.rowHeight || this.def.itemHeight;
    var top = index * h;
    var box = this.listbox;
    if (top < box.scrollTop) box.scrollTop = top;
    else if (top + h > box.scrollTop + box.clientHeight) box.scrollTop = top + h - box.clientHeight;
  }
};

// The caret blinks as a line edit's does, half a second shown, half hidden.
// A timer flips it twice a second; an animation would have the browser
// redraw the page on every frame for as long as a list has the focus.
var caretEl = null;
var blinkTimer = 0;
function blink(el) {
  if (blinkTimer) clearInterval(blinkTimer);
  blinkTimer = 0;
  caretEl = el;
  if (!el) return;
  blinkTimer = setInterval(function () {
    if (caretEl && caretEl.isConnected) caretEl.classList.toggle("off");
    else blink(null);
  }, 500);
}

ListView.prototype.renderField = function () {
  var f = this.field,
    s = this.state;
  if (caretEl && f.contains(caretEl)) blink(null);
  f.textContent = "";
  var focused = s.focused && document.activeElement === this.el;
  if (focused && s.selStart < s.selEnd) {
    f.appendChild(document.createTextNode(s.text.slice(0, s.selStart)));
    var sel = document.createElement("span");
    sel.className = "selected";
    sel.textContent = s.text.slice(s.selStart, s.selEnd);
    f.appendChild(sel);
    f.appendChild(document.createTextNode(s.text.slice(s.selEnd)));
    return;
  }
  f.appendChild(document.createTextNode(s.text.slice(0, s.caret)));
  if (focused) {
    var caret = document.createElement("span");
    caret.className = "caret";
    f.appendChild(caret);
    blink(caret);
  }
  f.appendChild(document.createTextNode(s.text.slice(s.caret)));
};

// The character the pointer stands before, in the field's text.
ListView.prototype.caretAt = function (clientX) {
  // The field stands FieldInset pixels in from the list's left edge.
  var x = H.stage.fromViewport(clientX, 0).x - (this.left + H.FieldInset);
  var text = this.state.text;
  for (var i = 0; i < text.length; i++) {
    var left = H.exactTextWidth(text.slice(0, i), this.font);
    var right = H.exactTextWidth(text.slice(0, i + 1), this.font);
    if (x < (left + right) / 2) return i;
  }
  return text.length;
};

ListView.prototype.shown = function (visible) {
  if (!visible) this.listbox.hidden = true;
};

ListView.prototype.listen = function () {
  var self = this,
    el = this.el,
    list = this.listbox,
    id = this.id;
  var byPointer = false;
  el.addEventListener("pointerdown", function (e) {
    // Only a press that moves the focus here is followed by a focus event.
    byPointer = document.activeElement !== el;
    if (e.button !== 0) return;
    // The arrow drops the list down or closes it. A press in the field only
    // takes the focus and places the caret, as on the desktop; with a
    // finger, whose aim is coarse, the field drops the list down too.
    var onArrow = self.arrow.contains(e.target);
    self.byFinger = e.pointerType === "touch";
    if (onArrow || self.byFinger) {
      e.preventDefault();
      if (document.activeElement !== el) el.focus({ preventScroll: true });
      H.bridge.listPointer(id, 2, 0);
    } else {
      var at = self.caretAt(e.clientX);
      setTimeout(function () {
        H.bridge.listPointer(id, 4, at);
      }, 0);
    }
  });
  el.addEventListener("focus", function () {
    // Tabbing into the field selects its text, as a line edit does; a
    // press or the focus coming back from the message box does not.
    H.bridge.focus(id, !byPointer);
    byPointer = false;
  });
  el.addEventListener("blur", function () {
    // Lost to no other control (another window, the page's background).
    setTimeout(function () {
      if (!el.contains(document.activeElement) && self.state.open) H.bridge.listPointer(id, 3, 0);
      self.renderField();
    }, 0);
  });
  el.addEventListener("keydown", function (e) {
    if (e.isComposing) return;
    self.byFinger = false;
    if (H.bridge.listKey(id, e)) e.preventDefault();
  });
  // The wheel steps through the items of the closed list that has the
  // keyboard focus, as on the desktop; over another list it does nothing.
  el.addEventListener(
    "wheel",
    function (e) {
      if (e.ctrlKey) return;
      var px = e.deltaY * (e.deltaMode === 1 ? 40 : e.deltaMode === 2 ? 400 : 1);
      if (H.bridge.listWheel(id, px / 100)) e.preventDefault();
    },
    { passive: false }
  );
  // A pick in the open list must leave the keyboard focus on the field.
  list.addEventListener("mousedown", function (e) {
    e.preventDefault();
  });
  list.addEventListener("pointermove", function (e) {
    var o = e.target.closest('[role="option"]');
    if (o) H.bridge.listPointer(id, 1, self.options.indexOf(o));
  });
  list.addEventListener("click", function (e) {
    var o = e.target.closest('[role="option"]');
    if (o) H.bridge.listPointer(id, 0, self.options.indexOf(o));
  });
};

// Whether the page's pointer is a finger rather than a mouse.
H.coarsePointer = function () {
  return !!(window.matchMedia && window.matchMedia("(pointer: coarse)").matches);
};
