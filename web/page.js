// The page side of the browser toolkit: the stage with its controls, the
// drawing surface, the timers, the message box and the closing screen. The
// lesson (wasm) calls in through HayasaPage; control events and timer ticks go
// back through Module._hayasa_raise.
"use strict";

var HayasaPage = (function () {
  var StageWidth = 1024;
  var StageHeight = 768;
  // Rows of a dropped-down list that show without scrolling.
  var VisibleRows = 8;
  var Faces = [
    '"HayasaGothic", "IPAPGothic", "IPA Pゴシック", sans-serif',
    '"HayasaMincho", "IPAMincho", "IPA明朝", serif',
    '"HayasaLatin", "C059", "Century Schoolbook", serif',
  ];
  // The Gothic face's ascender and descender as shares of the em (set by the
  // assembler from the embedded font; the IPA faces' own values otherwise).
  var Metrics = window.HayasaFontMetrics || {};
  var GothicAscent = Metrics.gothicAscent || 1802 / 2048;
  var GothicDescent = Metrics.gothicDescent || 246 / 2048;
  // The Latin face's line is set on its Windows ascent on the desktop, far
  // above its own ascender.
  var LatinAscent = Metrics.latinAscent || 1090 / 1000;
  var LatinFace = 2;
  // An entry box's caption starts this far from the box's left edge.
  var CaptionLeft = 8;
  // A list's text starts this far inside its left edge (frame and one pixel
  // of room); its arrow button takes what the widest item leaves of the
  // field, between these widths.
  var FieldInset = 2;
  var MinArrowWidth = 9;
  var MaxArrowWidth = 17;
  var ArrowGlyphHeight = 4;

  var Module = null;
  var Ev = null;
  var stage, surface, ctx, popups, live, closing, msgbox, msgText, msgOk;
  var measureCtx = document.createElement("canvas").getContext("2d");
  var controls = {}; // by control id
  var ops = []; // what stands on the drawing surface, in stage pixels
  var deviceScale = 1; // canvas pixels per stage pixel
  var dispatching = 0;
  var pending = [];
  var terminated = false;
  var activeControl = -1;
  var timers = {};
  var currentEvent = -1;
  var runEnded = false;
  var boxes = [];
  var focusBeforeBox = null;
  var focusReturning = false;

  function css(color) {
    return "rgb(" + (color & 0xff) + ", " + ((color >>> 8) & 0xff) + ", " + ((color >>> 16) & 0xff) + ")";
  }

  function fontOf(d) {
    return (d.italic ? "italic " : "") + (d.bold ? "bold " : "") + d.pixels + "px " + Faces[d.face];
  }

  // The height of a line of the Gothic face, whole pixels above and below the
  // baseline, as the desktop's font metrics give it.
  function fontLineHeight(pixels) {
    var up = Math.ceil(pixels * GothicAscent - 1e-6);
    var down = Math.ceil(pixels * GothicDescent - 1e-6);
    return up + down;
  }

  var measureFont = "";
  function exactTextWidth(text, font) {
    // Setting a canvas font parses it: only when it changes.
    if (font !== measureFont) measureCtx.font = measureFont = font;
    return measureCtx.measureText(text).width;
  }

  function textWidth(text, font) {
    return Math.round(exactTextWidth(text, font));
  }

  // The width of a text as the sum of its characters' advances, each
  // measured once: measuring a whole new text on every tick of a run costs
  // more than the rest of the tick's script together. The Japanese faces
  // have no kerning, so for them the sum is the text's width.
  var advances = {};
  function advance(text, font) {
    var known = advances[font] || (advances[font] = {});
    var sum = 0;
    for (var i = 0; i < text.length; i++) {
      var ch = text[i];
      var w = known[ch];
      if (w === undefined) w = known[ch] = exactTextWidth(ch, font);
      sum += w;
    }
    return Math.round(sum);
  }

  // ---- Events into the lesson ----

  // Handlers run one at a time: an event that a control raises while a
  // handler runs (a list closing because the handler hid it) waits its turn.
  function raise(id, event) {
    if (!Module || terminated) return;
    if (dispatching) {
      pending.push([id, event]);
      return;
    }
    deliver(id, event);
    while (pending.length && !terminated) {
      var next = pending.shift();
      deliver(next[0], next[1]);
    }
    pending.length = 0;
  }

  function deliver(id, event) {
    dispatching++;
    currentEvent = event;
    runEnded = false;
    try {
      Module._hayasa_raise(id, event);
    } catch (e) {
      messageBox("予期しないエラーが発生しました\n" + e, true);
    } finally {
      dispatching--;
      currentEvent = -1;
    }
    if (event === Ev.timer) afterTick();
    if (textsChanged) describe();
    if (runEnded) {
      // The elapsed time of the finished run, after the arrivals.
      var label = document.getElementById("JikanLbl");
      if (label) announce(label.textContent.trim());
    }
  }

  function announce(text) {
    if (!text) return;
    var line = document.createElement("div");
    line.textContent = text;
    live.appendChild(line);
    while (live.childNodes.length > 6) live.removeChild(live.firstChild);
  }

  // ---- The stage ----

  function clearStage() {
    Object.keys(timers).forEach(function (id) {
      stopTimer(timers[id]);
    });
    timers = {};
    Object.keys(controls).forEach(function (id) {
      var c = controls[id];
      [c.list, c.canvas, c.ticker, c.el].forEach(function (el) {
        if (el && el.parentNode) el.remove();
      });
    });
    controls = {};
    activeControl = -1;
    pending.length = 0;
    terminated = false;
    ops = [];
    deferred.clear();
    runningTimers = 0;
  }

  function place(el, d) {
    el.style.left = d.left + "px";
    el.style.top = d.top + "px";
    el.style.width = d.width + "px";
    el.style.height = d.height + "px";
  }

  function createControl(d) {
    var parent = d.parent < 0 ? stage : controls[d.parent].inner;
    var c = { def: d, id: d.id };
    var el;
    switch (d.kind) {
      case "label":
        el = document.createElement("div");
        el.className = "label";
        el.textContent = c.text = d.caption;
        c.shownWidth = d.width;
        if (d.face === LatinFace) {
          el.classList.add("latin");
          el.style.setProperty("--ascent", Math.round(d.pixels * LatinAscent) + "px");
        }
        break;
      case "shape":
        // The element is for assistive technology; the bar is painted on a
        // canvas beside it (see paintShape).
        el = document.createElement("div");
        el.className = "shape";
        el.setAttribute("role", "img");
        c.width = d.width;
        c.painted = 0;
        c.brush = 0xffffff;
        break;
      case "group":
        el = document.createElement("div");
        el.className = "group";
        el.setAttribute("role", "group");
        // Etched: a shadow line with a highlight line one pixel inside it,
        // its top edge at half the caption's line; the caption covers that
        // edge on the box's colour.
        var line = fontLineHeight(d.pixels);
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
        c.inner = el;
        break;
      case "list":
        el = createList(c, d);
        break;
      case "button":
        el = document.createElement("button");
        el.type = "button";
        el.className = "button";
        var cap = document.createElement("span");
        cap.className = "caption";
        cap.textContent = c.text = d.caption;
        el.appendChild(cap);
        c.caption = cap;
        el.addEventListener("click", function () {
          // A pressed button takes the focus, as on the desktop, also where
          // the browser leaves it elsewhere (Safari): entering a list later
          // then counts as entering it again.
          if (document.activeElement !== el) el.focus({ preventScroll: true });
          raise(d.id, Ev.click);
        });
        el.addEventListener("keydown", function (e) {
          // Enter clicks only without Shift, Ctrl or Alt.
          if (e.key === "Enter" && (e.shiftKey || e.ctrlKey || e.altKey || e.metaKey)) e.preventDefault();
        });
        break;
      default:
        return;
    }
    el.id = d.name;
    el.dataset.ctl = d.id;
    var outer = d.parent < 0 ? null : controls[d.parent];
    c.left = d.left + (outer ? outer.left : 0);
    c.top = d.top + (outer ? outer.top : 0);
    place(el, d);
    if (d.pixels > 0) el.style.font = fontOf(d);
    el.style.color = css(d.fontColor);
    if (d.accessibleName) el.setAttribute("aria-label", d.accessibleName);
    if (d.tabIndex > 0 && (d.kind === "list" || d.kind === "button")) el.tabIndex = d.tabIndex;
    el.hidden = !d.visible;
    c.el = el;
    controls[d.id] = c;
    parent.insertBefore(el, parent === stage ? popups : null);
    if (d.kind === "shape") {
      c.canvas = paintCanvas(c, d.width, d.height);
      paintShape(c);
    }
  }

  function setWidth(id, width) {
    var c = controls[id];
    if (!c) return;
    width = Math.max(0, width);
    if (c.def.kind !== "shape") {
      c.el.style.width = width + "px";
      return;
    }
    c.width = width;
    paintShape(c);
    if (ticking()) deferred.add(c);
    else c.el.style.width = width + "px";
  }

  function setVisible(id, visible) {
    var c = controls[id];
    if (!c || c.el.hidden === !visible) return;
    if (!visible && c.open) closeList(c);
    var hadFocus = !visible && c.el.contains(document.activeElement);
    c.el.hidden = !visible;
    if (c.def.kind === "shape") paintShape(c, true);
    if (c.ticker && !visible) showCaption(c);
    // The focus of a control that goes moves on to the next in the tab
    // chain, as on the desktop, rather than leaving the keyboard nowhere.
    if (hadFocus) focusAfter(c.def.tabIndex);
  }

  function focusAfter(tabIndex) {
    var chain = Array.prototype.slice
      .call(stage.querySelectorAll("[data-ctl][tabindex]"))
      .filter(function (el) {
        return el.tabIndex > 0 && el.getClientRects().length > 0;
      })
      .sort(function (a, b) {
        return a.tabIndex - b.tabIndex;
      });
    var next = chain.filter(function (el) {
      return el.tabIndex > tabIndex;
    })[0] || chain[0];
    if (next) next.focus({ preventScroll: true });
  }

  function setCaption(id, text) {
    var c = controls[id];
    if (!c) return;
    c.text = text;
    if (c.caption) {
      c.caption.textContent = text;
      return;
    }
    // A label whose text changes gets its canvas at once, its font set,
    // before a run's first tick would have to make one.
    if (!c.ticker) {
      c.ticker = paintCanvas(c, StageWidth - c.left, c.def.height);
      c.ticker.hidden = false;
      tickerFont(c);
    }
    if (ticking()) {
      deferred.add(c);
      tickCaption(c);
      return;
    }
    showCaption(c);
  }

  // The width of a control as the lesson sees it: a label is as wide as its
  // text, whether or not the element shows that text yet.
  function captionWidth(id) {
    var c = controls[id];
    if (!c) return 0;
    if (c.caption || c.def.kind !== "label") return c.def.width;
    return textWidth(c.text, fontOf(c.def));
  }

  // The element shows the text itself again.
  function showCaption(c) {
    if (c.el.textContent !== c.text) {
      c.el.textContent = c.text;
      c.shownWidth = textWidth(c.text, fontOf(c.def));
      c.el.style.width = c.shownWidth + "px";
    }
    var canvas = c.ticker;
    if (canvas && canvas.painted) {
      canvas.ctx.save();
      canvas.ctx.setTransform(1, 0, 0, 1, 0, 0);
      canvas.ctx.clearRect(0, 0, canvas.width, canvas.height);
      canvas.ctx.restore();
      canvas.painted = 0;
    }
  }

  function setShapeBrush(id, color) {
    var c = controls[id];
    if (!c || c.def.kind !== "shape" || c.brush === color) return;
    c.brush = color;
    paintShape(c, true);
  }

  // ---- What moves on every tick of a run ----

  // A tick of a run changes the bars and the elapsed time. Changing elements
  // costs the browser a style, layout and paint pass on every tick; small
  // canvases beside them take those pixels instead, each just the size of
  // what it shows, as the browser copies a canvas whole when it changes. A
  // bar always lives on its canvas; a label's text goes to one only while a
  // run's ticks change it. The elements, which assistive technology reads,
  // catch up at most once a second and when the run ends.
  var deferred = new Set();
  var lastCatchUp = 0;
  var CatchUpMs = 1000;
  var runningTimers = 0;

  // Inside the tick of a running timer.
  function ticking() {
    return currentEvent === Ev.timer && runningTimers > 0;
  }

  // A canvas over a control's place, width by height stage pixels from the
  // control's corner.
  function paintCanvas(c, width, height) {
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
    canvas.ctx = canvas.getContext("2d");
    scaleCanvas(canvas);
    return canvas;
  }

  // The canvas covers whole device pixels, as the drawing surface does, so
  // that a scaled stage shows its pixels as they are drawn rather than
  // resampled. Returns whether the backing store changed, which wipes it.
  function scaleCanvas(canvas) {
    var x0 = snap(canvas.left),
      y0 = snap(canvas.top);
    var w = snap(canvas.left + canvas.stageWidth) - x0;
    var h = snap(canvas.top + canvas.stageHeight) - y0;
    if (canvas.width === w && canvas.height === h && canvas.scale === deviceScale) return false;
    canvas.style.left = x0 / deviceScale - canvas.parentLeft + "px";
    canvas.style.top = y0 / deviceScale - canvas.parentTop + "px";
    canvas.style.width = w / deviceScale + "px";
    canvas.style.height = h / deviceScale + "px";
    canvas.width = w;
    canvas.height = h;
    canvas.x0 = x0;
    canvas.y0 = y0;
    canvas.scale = deviceScale;
    canvas.fill = -1;
    canvas.painted = 0;
    canvas.font = "";
    return true;
  }

  // A rectangle in stage pixels from the control's corner; color -1 clears.
  function canvasRect(canvas, color, l, t, r, b) {
    var x = snap(canvas.left + l) - canvas.x0,
      y = snap(canvas.top + t) - canvas.y0,
      w = snap(canvas.left + r) - canvas.x0 - x,
      h = snap(canvas.top + b) - canvas.y0 - y;
    if (color < 0) {
      canvas.ctx.clearRect(x, y, w, h);
      return;
    }
    if (canvas.fill !== color) {
      canvas.ctx.fillStyle = css(color);
      canvas.fill = color;
    }
    canvas.ctx.fillRect(x, y, w, h);
  }

  // A shape: a one-pixel outline in its pen colour, filled with its brush
  // colour. A bar that grows is painted from its old right edge on, which
  // turns from outline to inside; anything else paints it anew.
  function paintShape(c, anew) {
    var canvas = c.canvas;
    var shown = !c.el.hidden;
    if (canvas.hidden === shown) {
      canvas.hidden = !shown;
      anew = true;
    }
    var width = shown ? Math.min(c.width, canvas.stageWidth) : 0;
    var h = c.def.height;
    var from = Math.max(0, c.painted - 1);
    if (anew || width < c.painted) {
      // A canvas that was never painted, or was cleared, is clear already.
      if (c.painted > 0) canvasRect(canvas, -1, 0, 0, canvas.stageWidth, h);
      from = 0;
    } else if (width === c.painted) return;
    c.painted = width;
    if (width <= 0) return;
    canvasRect(canvas, c.def.penColor, from, 0, width, h);
    if (width > 2 && h > 2 && c.brush !== c.def.penColor)
      canvasRect(canvas, c.brush, Math.max(1, from), 1, width - 1, h - 1);
  }

  // A label's text during a run: the canvas over the element, which reaches
  // as far as the stage's right edge, paints the label as the element
  // would, the text on the label's background, covering the element and
  // the text's advance. Text drawn onto that opaque background gets the
  // same pixels as the element's; drawn on a clear canvas its edges would
  // blend differently.
  // The ticker draws in stage pixels from the label's corner.
  function tickerFont(c) {
    var canvas = c.ticker;
    var font = fontOf(c.def);
    if (canvas.font !== font) {
      var k = deviceScale;
      canvas.ctx.setTransform(k, 0, 0, k, canvas.left * k - canvas.x0, canvas.top * k - canvas.y0);
      canvas.ctx.font = canvas.font = font;
    }
    return font;
  }

  function tickCaption(c) {
    var canvas = c.ticker;
    var ctx = canvas.ctx;
    var font = tickerFont(c);
    var width = Math.max(advance(c.text, font), c.shownWidth);
    if (width < canvas.painted) ctx.clearRect(width, 0, canvas.painted - width, c.def.height);
    canvas.painted = width;
    ctx.fillStyle = css(windowColor);
    ctx.fillRect(0, 0, width, c.def.height);
    ctx.fillStyle = css(c.def.fontColor);
    // The baseline where the element puts it.
    var ascent = c.def.face === LatinFace ? LatinAscent : GothicAscent;
    ctx.fillText(c.text, 0, Math.round(c.def.pixels * ascent));
  }

  // After a tick: a label's element takes its text once a second, for
  // screen readers, under the canvas that goes on showing it; when the run
  // has ended every element catches up for good.
  function afterTick() {
    if (runningTimers === 0) {
      deferred.forEach(function (c) {
        if (c.def.kind === "shape") c.el.style.width = c.width + "px";
        else showCaption(c);
      });
      deferred.clear();
      return;
    }
    var now = performance.now();
    if (now - lastCatchUp < CatchUpMs) return;
    lastCatchUp = now;
    deferred.forEach(function (c) {
      if (c.def.kind === "shape" || c.el.textContent === c.text) return;
      // The text may now reach past the element's width, which follows at
      // the run's end: the canvas covers as far as it reaches.
      c.el.textContent = c.text;
      c.shownWidth = Math.max(c.shownWidth, advance(c.text, fontOf(c.def)));
    });
  }

  var windowColor = 0xf0f0f0;
  function setWindowColor(color) {
    windowColor = color;
    var root = document.documentElement.style;
    root.setProperty("--window", css(color));
    // The lists' frames are drawn in a darker shade of the window's colour,
    // their arrow buttons' edges a little lighter than the frames.
    root.setProperty("--outline", css(scaled(color, 100 / 140)));
    root.setProperty("--separator", css(scaled(scaled(color, 100 / 140), 1.1)));
  }

  function scaled(color, factor) {
    var out = 0;
    for (var shift = 0; shift <= 16; shift += 8) {
      var v = Math.min(255, Math.round(((color >>> shift) & 0xff) * factor));
      out |= v << shift;
    }
    return out >>> 0;
  }

  function setButtonFace(color) {
    document.documentElement.style.setProperty("--button-face", css(color));
  }

  // ---- Lists ----

  function createList(c, d) {
    var el = document.createElement("div");
    el.className = "list";
    el.setAttribute("role", "combobox");
    el.setAttribute("aria-expanded", "false");
    el.setAttribute("aria-haspopup", "listbox");
    el.setAttribute("aria-controls", d.name + "-list");
    var font = fontOf(d);
    var widest = 0;
    d.items.forEach(function (text) {
      widest = Math.max(widest, Math.ceil(exactTextWidth(text, font)));
    });
    // The field needs the widest item and one pixel for the caret; the arrow
    // button takes the rest, so every item shows whole in the stored size.
    var room = d.width - FieldInset - 1 - (widest + 1);
    var arrowWidth = Math.max(MinArrowWidth, Math.min(MaxArrowWidth, room));
    var field = document.createElement("span");
    field.className = "field";
    // Offsets inside the one-pixel frame.
    field.style.left = FieldInset - 1 + "px";
    field.style.width = d.width - FieldInset - 1 - arrowWidth + "px";
    // A pixel clear above and below the text line, the text centred in the
    // rest, puts it on the desktop field's baseline.
    field.style.lineHeight = d.height - 4 + "px";
    var arrow = document.createElement("span");
    arrow.className = "arrow";
    arrow.setAttribute("aria-hidden", "true");
    arrow.style.left = d.width - 2 - arrowWidth + "px";
    arrow.style.width = arrowWidth + "px";
    // The glyph is centred on the button with the frame's right edge,
    // to the half pixel.
    var glyph = document.createElement("span");
    glyph.className = "glyph";
    glyph.style.left = (arrowWidth - 9) / 2 + "px";
    glyph.style.top = (d.height - ArrowGlyphHeight) / 2 - 1 + "px";
    arrow.appendChild(glyph);
    el.appendChild(field);
    el.appendChild(arrow);

    var list = document.createElement("div");
    list.id = d.name + "-list";
    list.className = "listbox";
    list.setAttribute("role", "listbox");
    if (d.accessibleName) list.setAttribute("aria-label", d.accessibleName);
    list.hidden = true;
    list.style.font = font;
    c.options = d.items.map(function (text, i) {
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
    list.style.width = Math.max(d.width, widest + 8 + 20) + "px";
    list.style.height = Math.min(VisibleRows, d.items.length) * d.itemHeight + 2 + "px";
    popups.appendChild(list);

    c.list = list;
    c.field = field;
    c.items = d.items;
    c.index = -1;
    c.text = "";
    c.selStart = 0; // the field's selection and caret
    c.selEnd = 0;
    c.caret = 0;
    c.open = false;
    c.highlight = -1;
    c.byPointer = false;
    renderField(c);

    el.addEventListener("pointerdown", function () {
      c.byPointer = true;
    });
    el.addEventListener("click", function () {
      if (c.open) closeList(c);
      else openList(c);
    });
    el.addEventListener("focus", function () {
      // Tabbing into the field selects its text, as a line edit does; a
      // click or the focus coming back from the message box does not.
      if (!c.byPointer && !focusReturning) select(c, 0, c.text.length, c.text.length);
      c.byPointer = false;
      renderField(c);
    });
    el.addEventListener("blur", function () {
      if (c.open) closeList(c);
      renderField(c);
    });
    el.addEventListener("keydown", function (e) {
      if (listKey(c, e)) e.preventDefault();
    });
    // The wheel steps through the items of the closed list that has the
    // keyboard focus, as on the desktop; over another list it does nothing.
    var wheel = 0;
    el.addEventListener(
      "wheel",
      function (e) {
        if (c.open || e.ctrlKey || document.activeElement !== el) return;
        e.preventDefault();
        wheel += e.deltaY * (e.deltaMode === 1 ? 40 : e.deltaMode === 2 ? 400 : 1);
        while (Math.abs(wheel) >= 100) {
          var step = wheel > 0 ? 1 : -1;
          wheel -= step * 100;
          var next = c.index + step;
          if (next >= 0 && next < c.items.length) userSelect(c, next);
        }
      },
      { passive: false }
    );
    // A pick in the open list must leave the keyboard focus on the field.
    list.addEventListener("mousedown", function (e) {
      e.preventDefault();
    });
    list.addEventListener("pointermove", function (e) {
      var o = e.target.closest('[role="option"]');
      if (o) setHighlight(c, c.options.indexOf(o), false);
    });
    list.addEventListener("click", function (e) {
      var o = e.target.closest('[role="option"]');
      if (!o) return;
      var i = c.options.indexOf(o);
      closeList(c);
      userSelect(c, i);
    });
    return el;
  }

  function select(c, start, end, caret) {
    c.selStart = start;
    c.selEnd = end;
    c.caret = caret;
  }

  // The caret blinks as a line edit's does, half a second shown, half
  // hidden. A timer flips it twice a second; an animation would have the
  // browser redraw the page on every frame for as long as a list has the
  // focus.
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

  function renderField(c) {
    var f = c.field;
    if (caretEl && f.contains(caretEl)) blink(null);
    f.textContent = "";
    var focused = document.activeElement === c.el;
    var a = Math.min(c.selStart, c.selEnd);
    var b = Math.max(c.selStart, c.selEnd);
    if (focused && a < b) {
      f.appendChild(document.createTextNode(c.text.slice(0, a)));
      var sel = document.createElement("span");
      sel.className = "selected";
      sel.textContent = c.text.slice(a, b);
      f.appendChild(sel);
      f.appendChild(document.createTextNode(c.text.slice(b)));
    } else {
      f.appendChild(document.createTextNode(c.text.slice(0, c.caret)));
      if (focused) {
        var caret = document.createElement("span");
        caret.className = "caret";
        f.appendChild(caret);
        blink(caret);
      }
      f.appendChild(document.createTextNode(c.text.slice(c.caret)));
    }
  }

  // The field shows the item; caret at its end, nothing selected.
  function showItem(c, index) {
    c.index = index;
    c.text = index >= 0 ? c.items[index] : "";
    select(c, c.text.length, c.text.length, c.text.length);
    if (c.open) setHighlight(c, index, true);
    renderField(c);
  }

  function itemIndex(id) {
    var c = controls[id];
    return c && c.items ? c.index : -1;
  }

  function setItemIndex(id, index) {
    var c = controls[id];
    if (c && c.items) showItem(c, index);
  }

  function setHighlight(c, index, scroll) {
    if (c.highlight >= 0 && c.options[c.highlight]) {
      c.options[c.highlight].classList.remove("highlight");
      c.options[c.highlight].setAttribute("aria-selected", "false");
    }
    c.highlight = index;
    if (index >= 0 && c.options[index]) {
      var o = c.options[index];
      o.classList.add("highlight");
      o.setAttribute("aria-selected", "true");
      c.el.setAttribute("aria-activedescendant", o.id);
      if (scroll) {
        var h = c.def.itemHeight;
        var top = index * h;
        if (top < c.list.scrollTop) c.list.scrollTop = top;
        else if (top + h > c.list.scrollTop + c.list.clientHeight) c.list.scrollTop = top + h - c.list.clientHeight;
      }
    } else {
      c.el.removeAttribute("aria-activedescendant");
    }
  }

  function stageOrigin(c) {
    var x = c.def.left;
    var y = c.def.top;
    if (c.def.parent >= 0) {
      x += controls[c.def.parent].def.left;
      y += controls[c.def.parent].def.top;
    }
    return { x: x, y: y };
  }

  function openList(c) {
    if (c.open) return;
    c.open = true;
    var at = stageOrigin(c);
    var height = Math.min(VisibleRows, c.items.length) * c.def.itemHeight + 2;
    var below = at.y + c.def.height;
    c.list.style.left = at.x + "px";
    c.list.style.top = (below + height <= StageHeight ? below : Math.max(0, at.y - height)) + "px";
    c.list.hidden = false;
    c.el.setAttribute("aria-expanded", "true");
    c.list.scrollTop = Math.max(0, c.index) * c.def.itemHeight;
    setHighlight(c, c.index, true);
  }

  // However the open list closes, that is its close-up.
  function closeList(c) {
    if (!c.open) return;
    c.open = false;
    c.list.hidden = true;
    c.el.setAttribute("aria-expanded", "false");
    c.el.removeAttribute("aria-activedescendant");
    raise(c.id, Ev.closeUp);
  }

  // A pick by the user: the item becomes current and, if it changed, OnClick
  // then OnSelect.
  function userSelect(c, index) {
    if (c.open) setHighlight(c, index, true);
    if (index === c.index) return;
    showItem(c, index);
    raise(c.id, Ev.click);
    raise(c.id, Ev.select);
  }

  function findPrefix(c, prefix) {
    var p = prefix.toLowerCase();
    for (var i = 0; i < c.items.length; i++) if (c.items[i].toLowerCase().indexOf(p) === 0) return i;
    return -1;
  }

  // Typing: drop the list down, then complete the text before the selection
  // plus the new character to the first item beginning with it; otherwise
  // the character goes into the field as typed.
  function typeChar(c, ch) {
    if (!c.open) openList(c);
    var a = Math.min(c.selStart, c.selEnd);
    var b = Math.max(c.selStart, c.selEnd);
    var before = a < b ? c.text.slice(0, a) : c.text;
    var prefix = before + ch;
    var k = findPrefix(c, prefix);
    if (k < 0) {
      var at = a < b ? a : c.caret;
      var end = a < b ? b : c.caret;
      c.text = c.text.slice(0, at) + ch + c.text.slice(end);
      select(c, at + ch.length, at + ch.length, at + ch.length);
      renderField(c);
      return;
    }
    var old = c.index;
    c.index = k;
    if (c.open) setHighlight(c, k, true);
    c.text = prefix + c.items[k].slice(prefix.length);
    select(c, prefix.length, c.text.length, prefix.length);
    renderField(c);
    if (k !== old) {
      raise(c.id, Ev.click);
      raise(c.id, Ev.select);
    }
  }

  // Backspace edits the field and leaves no item current; no event.
  function typeBackspace(c) {
    if (!c.text) return;
    var a = Math.min(c.selStart, c.selEnd);
    var b = Math.max(c.selStart, c.selEnd);
    var at = c.caret;
    if (a < b) {
      c.text = c.text.slice(0, a) + c.text.slice(b);
      at = a;
    } else if (at > 0) {
      c.text = c.text.slice(0, at - 1) + c.text.slice(at);
      at -= 1;
    }
    c.index = -1;
    select(c, at, at, at);
    if (c.open) setHighlight(c, -1, false);
    renderField(c);
  }

  function moveCaret(c, to) {
    to = Math.max(0, Math.min(c.text.length, to));
    select(c, to, to, to);
    renderField(c);
  }

  function listKey(c, e) {
    if (e.isComposing) return false;
    var mods = e.ctrlKey || e.altKey || e.metaKey;
    var page = VisibleRows - 1;
    var last = c.items.length - 1;
    switch (e.key) {
      case "Backspace":
        typeBackspace(c);
        return true;
      case "Escape":
        if (!c.open) return false;
        closeList(c);
        return true;
      case "Tab":
        return false; // the focus moves on; leaving closes an open list
      case "F4":
        if (c.open) closeList(c);
        else openList(c);
        return true;
      case "ArrowUp":
      case "ArrowDown":
      case "PageUp":
      case "PageDown":
        if (e.altKey && !e.ctrlKey && !e.metaKey && (e.key === "ArrowUp" || e.key === "ArrowDown")) {
          if (c.open) closeList(c);
          else openList(c);
          return true;
        }
        if (mods) return true;
        var step = { ArrowUp: -1, ArrowDown: 1, PageUp: -page, PageDown: page }[e.key];
        // A move starts from the highlighted row while the list is open.
        var from = c.open && c.highlight >= 0 ? c.highlight : c.index;
        userSelect(c, from < 0 ? 0 : Math.max(0, Math.min(last, from + step)));
        return true;
      case "Home":
      case "End":
        if (mods) return false;
        if (c.open) userSelect(c, e.key === "Home" ? 0 : last);
        else moveCaret(c, e.key === "Home" ? 0 : c.text.length);
        return true;
      case "ArrowLeft":
      case "ArrowRight":
        if (mods || c.open) return true;
        moveCaret(c, c.caret + (e.key === "ArrowLeft" ? -1 : 1));
        return true;
      case "Delete":
        if (c.open || mods) return true;
        var a = Math.min(c.selStart, c.selEnd);
        var b = Math.max(c.selStart, c.selEnd);
        if (a < b) c.text = c.text.slice(0, a) + c.text.slice(b);
        else c.text = c.text.slice(0, c.caret) + c.text.slice(c.caret + 1);
        var at = a < b ? a : c.caret;
        select(c, at, at, at);
        renderField(c);
        return true;
      case "Enter":
        if (!c.open) return false;
        var h = c.highlight;
        closeList(c);
        if (h >= 0) userSelect(c, h);
        return true;
      default:
        break;
    }
    if (!mods && Array.from(e.key).length === 1) {
      typeChar(c, e.key);
      return true;
    }
    return false;
  }

  // ---- The drawing surface ----

  // Every drawing is opaque over its rectangle, so one that covers an earlier
  // one hides it for good: only what still shows is kept for repainting.
  function keep(op) {
    if (unchanged(op)) return;
    ops = ops.filter(function (o) {
      var hidden = o.l >= op.l && o.t >= op.t && o.r <= op.r && o.b <= op.b;
      if (hidden && o.text) textsChanged = true;
      return !hidden;
    });
    if (op.text) textsChanged = true;
    ops.push(op);
    draw(op);
    if (textsChanged && !dispatching) describe();
  }

  // A fill in the colour that its whole rectangle already shows changes no
  // pixel: the race whitens each bar's whole track on every tick, and
  // drawing that again would have the browser take up the surface anew.
  // Only the latest drawing over the rectangle decides, and only when it is
  // a fill of that colour covering all of it; anything else is a change.
  function unchanged(op) {
    if (op.text) return false;
    for (var i = ops.length - 1; i >= 0; i--) {
      var o = ops[i];
      if (o.r <= op.l || o.l >= op.r || o.b <= op.t || o.t >= op.b) continue;
      return !o.text && o.color === op.color && o.l <= op.l && o.t <= op.t && o.r >= op.r && o.b >= op.b;
    }
    return false;
  }

  // What the lesson wrote on the surface is also told to assistive
  // technology, as the desktop window does: the stage is described by every
  // text on it, each bar by the texts of its own row (its distance above it,
  // its arrival time or result beside it).
  var textsChanged = false;
  var labelRise = 0;
  function describe() {
    textsChanged = false;
    var texts = ops
      .filter(function (o) {
        return o.text;
      })
      .sort(function (a, b) {
        return a.t - b.t || a.l - b.l;
      });
    setDescription(
      stage,
      texts
        .map(function (o) {
          return o.text.trim();
        })
        .join("、")
    );
    Object.keys(controls).forEach(function (id) {
      var c = controls[id];
      if (c.def.kind !== "shape") return;
      var top = c.def.top - labelRise;
      var bottom = c.def.top + c.def.height;
      setDescription(
        c.el,
        texts
          .filter(function (o) {
            return o.t >= top && o.t < bottom;
          })
          .map(function (o) {
            return o.text.trim();
          })
          .join(" ")
      );
    });
  }

  function setDescription(el, text) {
    if (!text) el.removeAttribute("aria-description");
    else if (el.getAttribute("aria-description") !== text) el.setAttribute("aria-description", text);
  }

  function snap(v) {
    return Math.round(v * deviceScale);
  }

  function draw(op) {
    var l = snap(op.l),
      t = snap(op.t),
      r = snap(op.r),
      b = snap(op.b);
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = css(op.color);
    ctx.fillRect(l, t, r - l, b - t);
    if (!op.text) return;
    ctx.save();
    ctx.beginPath();
    ctx.rect(l, t, r - l, b - t);
    ctx.clip();
    ctx.setTransform(deviceScale, 0, 0, deviceScale, 0, 0);
    ctx.font = op.pixels + "px " + Faces[0];
    ctx.fillStyle = css(op.fontColor);
    ctx.textBaseline = "alphabetic";
    ctx.fillText(op.text, op.l, op.t + Math.round(op.pixels * GothicAscent));
    ctx.restore();
  }

  function redraw() {
    ops.forEach(draw);
  }

  function fill(l, t, r, b, color) {
    keep({ l: l, t: t, r: r, b: b, color: color });
  }

  function textOut(x, y, text, pixels, fontColor, brush) {
    var width = textWidth(text, pixels + "px " + Faces[0]);
    var op = { l: x, t: y, r: Math.min(StageWidth, x + width), b: Math.min(StageHeight, y + pixels), color: brush };
    if (op.r <= op.l || op.b <= op.t) return width;
    if (text.trim()) {
      op.text = text;
      op.pixels = pixels;
      op.fontColor = fontColor;
      // Arrivals and results are told to screen readers as they appear.
      if (currentEvent === Ev.timer) announce(text);
    }
    keep(op);
    return width;
  }

  function clearSurface(color) {
    if (ops.some(function (o) {
      return o.text;
    }))
      textsChanged = true;
    ops = [];
    keep({ l: 0, t: 0, r: StageWidth, b: StageHeight, color: color });
  }

  // ---- Fitting the stage to the viewport ----

  function fit() {
    var vw = document.documentElement.clientWidth;
    var vh = document.documentElement.clientHeight;
    var dpr = window.devicePixelRatio || 1;
    var s = Math.min(vw / StageWidth, vh / StageHeight);
    if (!(s > 0)) return; // not laid out yet (a hidden frame)
    // Whole device pixels for the stage's corner keep its edges sharp.
    var left = Math.round(((vw - StageWidth * s) / 2) * dpr) / dpr;
    var top = Math.round(((vh - StageHeight * s) / 2) * dpr) / dpr;
    stage.style.left = left + "px";
    stage.style.top = top + "px";
    stage.style.transform = s === 1 ? "none" : "scale(" + s + ")";
    // The message box grows with the stage on a large screen.
    document.documentElement.style.setProperty("--stage-scale", String(s));
    var k = s * dpr;
    var w = Math.round(StageWidth * k);
    var h = Math.round(StageHeight * k);
    if (surface.width !== w || surface.height !== h || deviceScale !== k) {
      deviceScale = k;
      surface.width = w;
      surface.height = h;
      redraw();
      Object.keys(controls).forEach(function (id) {
        var c = controls[id];
        if (c.canvas && scaleCanvas(c.canvas)) paintShape(c, true);
        if (c.ticker && scaleCanvas(c.ticker) && deferred.has(c)) tickCaption(c);
      });
    }
  }

  var dprQuery = null;
  function watchDevicePixelRatio() {
    if (!window.matchMedia) return;
    if (dprQuery) dprQuery.removeEventListener("change", onDprChange);
    dprQuery = window.matchMedia("(resolution: " + (window.devicePixelRatio || 1) + "dppx)");
    if (dprQuery.addEventListener) dprQuery.addEventListener("change", onDprChange);
  }
  function onDprChange() {
    fit();
    watchDevicePixelRatio();
  }

  // ---- Timers ----

  // Ticks on a fixed grid from the moment the timer was enabled; a late tick
  // is delivered once and the grid points it missed are dropped.
  function setTimer(id, interval, enabled) {
    var t = timers[id] || (timers[id] = { id: id, generation: 0, handle: 0 });
    if (t.enabled && !enabled && currentEvent === Ev.timer) runEnded = true;
    stopTimer(t);
    t.interval = interval;
    runningTimers += (enabled ? 1 : 0) - (t.enabled ? 1 : 0);
    t.enabled = enabled;
    if (!enabled) return;
    t.origin = lastCatchUp = performance.now();
    t.next = 1;
    schedule(t);
  }

  function stopTimer(t) {
    t.generation++;
    if (t.handle) clearTimeout(t.handle);
    t.handle = 0;
  }

  function schedule(t) {
    var generation = t.generation;
    var due = t.origin + t.next * t.interval;
    t.handle = setTimeout(function () {
      t.handle = 0;
      if (t.generation !== generation || !t.enabled) return;
      var now = performance.now();
      if (now < t.origin + t.next * t.interval) {
        schedule(t);
        return;
      }
      t.next = Math.floor((now - t.origin) / t.interval) + 1;
      raise(t.id, Ev.timer);
      if (t.generation === generation && t.enabled && !terminated) schedule(t);
    }, Math.max(0, due - performance.now()));
  }

  // ---- Message box ----

  function messageBox(text, isError) {
    boxes.push({ text: text, error: !!isError });
    if (!msgbox.open) showNextBox();
  }

  function showNextBox() {
    var box = boxes.shift();
    if (!box) return;
    focusBeforeBox = document.activeElement;
    msgText.textContent = box.text;
    msgbox.classList.toggle("error", box.error);
    if (typeof msgbox.showModal === "function") msgbox.showModal();
    else msgbox.setAttribute("open", "");
    msgOk.focus();
  }

  function onBoxClosed() {
    if (msgbox.hasAttribute("open")) msgbox.removeAttribute("open");
    if (boxes.length) {
      showNextBox();
      return;
    }
    if (focusBeforeBox && focusBeforeBox.focus && document.contains(focusBeforeBox)) {
      focusReturning = true;
      focusBeforeBox.focus({ preventScroll: true });
      focusReturning = false;
    }
    focusBeforeBox = null;
  }

  // ---- お わ る ----

  function requestTermination() {
    terminated = true;
    // The handler that asked ends first; then the page tries to close.
    setTimeout(function () {
      Object.keys(timers).forEach(function (id) {
        stopTimer(timers[id]);
        timers[id].enabled = false;
      });
      runningTimers = 0;
      Object.keys(controls).forEach(function (id) {
        var c = controls[id];
        if (c.open) {
          c.open = false;
          c.list.hidden = true;
        }
      });
      try {
        window.close();
      } catch (e) {
        /* a page the user opened may not close itself */
      }
      setTimeout(function () {
        if (window.closed) return;
        stage.classList.add("closed");
        closing.hidden = false;
        document.getElementById("closing-restart").focus();
      }, 100);
    }, 0);
  }

  function restart() {
    closing.hidden = true;
    stage.classList.remove("closed");
    terminated = false;
    Module._hayasa_restart();
    focusFirst();
  }

  function focusFirst() {
    var first = document.getElementById("ComboBox1");
    if (first) first.focus({ preventScroll: true });
  }

  // ---- Start ----

  function init() {
    stage = document.getElementById("stage");
    surface = document.getElementById("surface");
    ctx = surface.getContext("2d", { alpha: false });
    popups = document.getElementById("popups");
    live = document.getElementById("live");
    closing = document.getElementById("closing");
    msgbox = document.getElementById("msgbox");
    msgText = document.getElementById("msgbox-text");
    msgOk = document.getElementById("msgbox-ok");
    msgOk.addEventListener("click", function () {
      if (typeof msgbox.close === "function") msgbox.close();
      else onBoxClosed();
    });
    msgbox.addEventListener("close", onBoxClosed);
    // While the box is open its OK button keeps the keyboard, as the
    // desktop's box does whatever is clicked behind or beside it: a press on
    // the box's text or title or on the page behind it (which the browser
    // sends to the box) must not move the focus, so Enter still presses OK.
    msgbox.addEventListener("mousedown", function (e) {
      if (e.target !== msgOk) e.preventDefault();
    });
    msgbox.addEventListener("keydown", function (e) {
      if (e.key === "Tab") e.preventDefault(); // OK is the box's one control
    });
    document.addEventListener(
      "focusin",
      function (e) {
        if (msgbox.open && e.target !== msgOk) msgOk.focus({ preventScroll: true });
      },
      true
    );
    msgOk.addEventListener("blur", function () {
      // Focus lost to nowhere (the document) raises no focusin: take it back
      // once the browser has finished moving it.
      setTimeout(function () {
        if (msgbox.open && document.activeElement !== msgOk) msgOk.focus({ preventScroll: true });
      }, 0);
    });
    document.getElementById("closing-restart").addEventListener("click", restart);
    // Taking the focus is entering a control; the focus coming back from the
    // message box to the same control is not.
    stage.addEventListener("focusin", function (e) {
      var el = e.target.closest ? e.target.closest("[data-ctl]") : null;
      if (!el) return;
      var id = Number(el.dataset.ctl);
      if (id === activeControl) return;
      activeControl = id;
      raise(id, Ev.enter);
    });
    // A press anywhere outside an open list closes it.
    document.addEventListener(
      "pointerdown",
      function (e) {
        Object.keys(controls).forEach(function (id) {
          var c = controls[id];
          if (c.open && !c.el.contains(e.target) && !c.list.contains(e.target)) closeList(c);
        });
      },
      true
    );
    window.addEventListener("resize", fit);
    watchDevicePixelRatio();
    fit();
  }

  function start(module) {
    Module = module;
    Module._hayasa_start();
    fit();
    focusFirst();
    requestAnimationFrame(function () {
      setTimeout(function () {
        window.hayasaReady = true;
        if (performance.mark) performance.mark("hayasa-ready");
      }, 0);
    });
  }

  return {
    init: init,
    start: start,
    setEvents: function (e) {
      Ev = e;
    },
    setLabelRise: function (rise) {
      labelRise = rise;
    },
    clearStage: clearStage,
    createControl: createControl,
    setWidth: setWidth,
    setVisible: setVisible,
    setCaption: setCaption,
    captionWidth: captionWidth,
    itemIndex: itemIndex,
    setItemIndex: setItemIndex,
    setShapeBrush: setShapeBrush,
    setTimer: setTimer,
    textOut: textOut,
    fill: fill,
    setWindowColor: setWindowColor,
    setButtonFace: setButtonFace,
    clearSurface: clearSurface,
    messageBox: messageBox,
    requestTermination: requestTermination,
  };
})();
