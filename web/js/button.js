// A push button: a click, or Space or Enter while it has the focus, raises
// its OnClick.

function Button(d) {
  H.Control.call(this, d);
  var id = d.id;
  var el = document.createElement("button");
  el.type = "button";
  el.className = "button";
  var cap = document.createElement("span");
  cap.className = "caption";
  cap.textContent = d.caption;
  el.appendChild(cap);
  this.caption = cap;
  el.addEventListener("click", function () {
    // A pressed button takes the focus, as on the desktop, also where the
    // browser leaves it elsewhere (Safari): entering a list later then
    // counts as entering it again.
    if (document.activeElement !== el) el.focus({ preventScroll: true });
    H.bridge.click(id);
  });
  el.addEventListener("keydown", function (e) {
    // Enter clicks only without Shift, Ctrl or Alt.
    if (e.key === "Enter" && (e.shiftKey || e.ctrlKey || e.altKey || e.metaKey)) e.preventDefault();
  });
  el.addEventListener("focus", function () {
    H.bridge.focus(id, false);
  });
  this.mount(el);
}
Button.prototype = Object.create(H.Control.prototype);
H.Button = Button;

Button.prototype.setCaption = function (text) {
  this.caption.textContent = text;
};

Button.prototype.captionWidth = function () {
  return this.def.width;
};
