// お わ る: the page closes itself where the browser allows it; otherwise
// it shows おわり and a button to start the lesson again.

var closing = { el: null, ended: false };
H.closing = closing;

closing.init = function () {
  closing.el = document.getElementById("closing");
  document.getElementById("closing-restart").addEventListener("click", closing.restart);
};

closing.terminate = function () {
  closing.ended = true;
  // The handler that asked ends first; then the page tries to close.
  setTimeout(function () {
    H.stopTimers();
    Object.keys(H.controls).forEach(function (id) {
      var c = H.controls[id];
      if (c.listbox) c.listbox.hidden = true;
    });
    try {
      window.close();
    } catch (e) {
      /* a page the user opened may not close itself */
    }
    setTimeout(function () {
      if (window.closed) return;
      H.stage.el.classList.add("closed");
      closing.el.hidden = false;
      document.getElementById("closing-restart").focus();
    }, 100);
  }, 0);
};

closing.restart = function () {
  closing.el.hidden = true;
  H.stage.el.classList.remove("closed");
  closing.ended = false;
  H.bridge.start();
};
