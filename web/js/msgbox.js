// The message box: modal over the stage, which shows behind it as it is, the
// application's title, the text and one OK button that keeps the keyboard.
// The page cannot wait for it, so it returns at once; further boxes queue.

var box = { el: null, queue: [], focusBefore: null };
H.msgbox = box;

box.init = function () {
  var el = (box.el = document.getElementById("msgbox"));
  box.text = document.getElementById("msgbox-text");
  box.ok = document.getElementById("msgbox-ok");
  box.ok.addEventListener("click", function () {
    if (typeof el.close === "function") el.close();
    else closed();
  });
  el.addEventListener("close", closed);
  // While the box is open its OK button keeps the keyboard, as the
  // desktop's box does whatever is clicked behind or beside it: a press on
  // the box's text or title or on the page behind it (which the browser
  // sends to the box) must not move the focus, so Enter still presses OK.
  el.addEventListener("mousedown", function (e) {
    if (e.target !== box.ok) e.preventDefault();
  });
  el.addEventListener("keydown", function (e) {
    if (e.key === "Tab") e.preventDefault(); // OK is the box's one control
  });
  document.addEventListener(
    "focusin",
    function (e) {
      if (box.isOpen() && e.target !== box.ok) box.ok.focus({ preventScroll: true });
    },
    true
  );
  box.ok.addEventListener("blur", function () {
    // Focus lost to nowhere (the document) raises no focusin: take it back
    // once the browser has finished moving it.
    setTimeout(function () {
      if (box.isOpen() && document.activeElement !== box.ok) box.ok.focus({ preventScroll: true });
    }, 0);
  });
};

box.show = function (text, isError) {
  box.queue.push({ text: text, error: !!isError });
  if (!box.isOpen()) showNext();
};

box.isOpen = function () {
  return box.el.open || box.el.hasAttribute("open");
};

function showNext() {
  var next = box.queue.shift();
  if (!next) return;
  // A box shown after another gives the focus back where the first found it.
  if (!box.focusBefore) box.focusBefore = document.activeElement;
  box.text.textContent = next.text;
  box.el.classList.toggle("error", next.error);
  if (typeof box.el.showModal === "function") box.el.showModal();
  else box.el.setAttribute("open", "");
  box.ok.focus();
}

function closed() {
  if (box.el.hasAttribute("open")) box.el.removeAttribute("open");
  if (box.queue.length) {
    showNext();
    return;
  }
  var before = box.focusBefore;
  box.focusBefore = null;
  // The focus goes back where it was; coming back is no entering.
  if (before && before.focus && document.contains(before)) before.focus({ preventScroll: true });
}
