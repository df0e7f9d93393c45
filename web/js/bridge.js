// Between the page and the lesson's toolkit in WebAssembly: what the
// toolkit calls on the page (Hayasa.bridge, from web_toolkit.cpp), and every
// input the page hands to it. A call that reaches the lesson is guarded: a
// trap or an error is shown in the message box and the page goes on.

var Module = null;
var keys = {}; // the toolkit's codes of the keys a list reacts to, by the browser's names

var bridge = {};
H.bridge = bridge;

function call(f) {
  if (!Module || H.closing.ended) return 0;
  var result = 0;
  try {
    result = f();
  } catch (e) {
    H.msgbox.show("予期しないエラーが発生しました\n" + e, true);
  }
  if (!H.tick.inTick) H.tick.after(H.anyTimerRunning());
  return result;
}

// ---- What the toolkit calls ----

bridge.clearStage = function () {
  H.stopTimers();
  H.tick.clear();
  H.clearControls();
};
bridge.createControl = H.createControl;
bridge.widestItem = function (id) {
  return H.controls[id].widestItem();
};
bridge.placeList = function (id, arrowWidth, fieldWidth) {
  H.controls[id].place(arrowWidth, fieldWidth);
};
bridge.tabOrder = H.tabOrder;
bridge.setWidth = function (id, width) {
  var c = H.controls[id];
  if (c && c.setWidth) c.setWidth(width);
  else if (c) c.el.style.width = width + "px";
};
bridge.setVisible = function (id, visible) {
  if (H.controls[id]) H.controls[id].setVisible(visible);
};
bridge.setCaption = function (id, text) {
  if (H.controls[id] && H.controls[id].setCaption) H.controls[id].setCaption(text);
};
bridge.captionWidth = function (id) {
  var c = H.controls[id];
  return c && c.captionWidth ? c.captionWidth() : 0;
};
bridge.barClear = function (id) {
  H.tick.barClear(H.controls[id]);
};
bridge.barFill = function (id, l, t, r, b, color) {
  H.tick.barFill(H.controls[id], l, t, r, b, color);
};
bridge.renderList = function (id, text, selStart, selEnd, caret, open, highlight, focused) {
  H.controls[id].render({
    text: text,
    selStart: selStart,
    selEnd: selEnd,
    caret: caret,
    open: open,
    highlight: highlight,
    focused: focused,
  });
};
bridge.startTimer = function (id, ms) {
  H.timer(id).start(ms);
};
bridge.stopTimer = function (id) {
  H.timer(id).stop();
};
bridge.setWindowColor = H.setWindowColor;
bridge.setButtonFace = H.setButtonFace;
bridge.textWidth = function (text, pixels) {
  return H.surface.textWidth(text, pixels);
};
bridge.fill = function (l, t, r, b, color) {
  H.surface.fill(l, t, r, b, color);
};
bridge.text = function (x, y, text, pixels, color, l, t, r, b) {
  H.surface.text(x, y, text, pixels, color, l, t, r, b);
};
bridge.messageBox = function (text, error) {
  H.msgbox.show(text, error);
};
bridge.terminate = function () {
  H.closing.terminate();
};
bridge.voice = H.voice;
bridge.describe = H.describe;
bridge.setKeys = function (table) {
  keys = {};
  table.split(",").forEach(function (pair) {
    var kv = pair.split("=");
    keys[kv[0]] = Number(kv[1]);
  });
};

// ---- Input for the lesson ----

bridge.start = function () {
  Module._hayasa_start(H.tick.enabled ? 0 : 1);
  H.stage.fit();
  H.focusControl(firstInChain());
};
bridge.click = function (id) {
  call(function () {
    Module._hayasa_click(id);
  });
};
bridge.timer = function (id) {
  call(function () {
    Module._hayasa_timer(id);
  });
};
bridge.focus = function (id, byKeyboard) {
  call(function () {
    Module._hayasa_focus(id, byKeyboard ? 1 : 0);
  });
};
// Returns whether the list took the key.
bridge.listKey = function (id, e) {
  var chars = Array.from(e.key);
  var code = keys[e.key];
  if (code === undefined) code = chars.length === 1 ? keys.Character : keys.Other;
  if ((e.ctrlKey || e.metaKey) && !e.altKey && (e.key === "a" || e.key === "A")) code = keys.SelectAll;
  var ch = code === keys.Character ? chars[0].codePointAt(0) : 0;
  var mods = (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0) | (e.metaKey ? 8 : 0);
  if (code === keys.SelectAll) mods = 0;
  return !!call(function () {
    return Module._hayasa_list_key(id, code, mods, ch);
  });
};
// 0 pick a row, 1 hover a row, 2 the arrow, 3 closed from outside, 4 the caret.
bridge.listPointer = function (id, what, row) {
  call(function () {
    Module._hayasa_list_pointer(id, what, row);
  });
};
bridge.listWheel = function (id, notches) {
  return !!call(function () {
    return Module._hayasa_list_wheel(id, notches);
  });
};
bridge.nextFocus = function (id) {
  return Module ? Module._hayasa_next_focus(id) : -1;
};
bridge.replay = function () {
  if (Module) Module._hayasa_rescaled();
};

function firstInChain() {
  var first = H.stage.el.querySelector("[data-ctl][tabindex]");
  return first ? Number(first.dataset.ctl) : -1;
}

// ---- The page ----

var lastPointer = "";

H.init = function () {
  H.stage.init();
  H.surface.init();
  H.msgbox.init();
  H.closing.init();
  // A press outside an open list closes it; a press on the stage's own
  // background leaves the keyboard focus where it is, as on the desktop.
  document.addEventListener(
    "pointerdown",
    function (e) {
      Object.keys(H.controls).forEach(function (id) {
        var c = H.controls[id];
        if (c.listbox && c.state.open && !c.el.contains(e.target) && !c.listbox.contains(e.target))
          bridge.listPointer(c.id, 3, 0);
      });
      if (e.target === H.stage.el || e.target === H.stage.inner || e.target === H.surface.canvas)
        e.preventDefault();
      lastPointer = e.pointerType;
    },
    true
  );
  // A long press by a finger opens no menu.
  H.stage.el.addEventListener("contextmenu", function (e) {
    if (lastPointer === "touch") e.preventDefault();
  });
  // Safari shows a button's pressed look under a finger only where a touch
  // is listened for.
  document.addEventListener("touchstart", function () {}, { passive: true });
  H.stage.fit();
};

H.start = function (module) {
  Module = module;
  bridge.start();
  requestAnimationFrame(function () {
    setTimeout(function () {
      window.hayasaReady = true;
      if (performance.mark) performance.mark("hayasa-ready");
    }, 0);
  });
};

// For tests: how many events the lesson has handled, and a promise kept
// once the page has handled everything it was given before.
window.hayasaTest = {
  get handled() {
    return Module ? Module._hayasa_handled() : 0;
  },
  idle: function () {
    return new Promise(function (done) {
      requestAnimationFrame(function () {
        setTimeout(done, 0);
      });
    });
  },
};
