// What screen readers are told: the lesson's announcements through the live
// region, and what stands drawn by the stage and by each bar as their
// descriptions. The words are the lesson's own.

var live = null;

H.voice = function (text) {
  if (!text) return;
  live = live || document.getElementById("live");
  var line = document.createElement("div");
  line.textContent = text;
  live.appendChild(line);
  while (live.childNodes.length > 6) live.removeChild(live.firstChild);
};

// id -1: the stage, the window itself.
H.describe = function (id, text) {
  var el = id < 0 ? H.stage.el : H.controls[id] && H.controls[id].el;
  if (!el) return;
  if (!text) el.removeAttribute("aria-description");
  else el.setAttribute("aria-description", text);
};
