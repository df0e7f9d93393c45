// Starts the lesson once the page's fonts are ready; without WebAssembly the
// page says so in Japanese instead.
(function () {
  "use strict";
  var stage = document.getElementById("stage");
  function unavailable() {
    stage.hidden = true;
    document.getElementById("nowasm").hidden = false;
  }
  if (typeof WebAssembly !== "object" || typeof WebAssembly.instantiate !== "function") {
    unavailable();
    return;
  }
  Hayasa.init();
  // Served from the school's web space, the page keeps itself for offline
  // use; opened as a file, where no service worker can run, it needs none.
  var hosted = document.querySelector('meta[name="hayasa-hosted"]');
  if (hosted && "serviceWorker" in navigator && /^https?:$/.test(location.protocol))
    navigator.serviceWorker.register("sw.js").catch(function () {});
  var fonts = document.fonts
    ? Promise.all(
        ["21px HayasaGothic", "bold 21px HayasaMincho", "italic 21px HayasaLatin"].map(function (f) {
          return document.fonts.load(f, "速さ");
        })
      ).catch(function () {})
    : Promise.resolve();
  fonts
    .then(function () {
      return createHayasa({});
    })
    .then(Hayasa.start, unavailable);
})();
