// The lesson offline: the first visit keeps the page and its icons in a
// cache named by their contents; every later visit is served from it, with
// or without a network. A new build is a new file here (its cache name
// changes), which the browser installs on the next visit: it takes over at
// once and deletes the caches of the builds before it.
"use strict";

// Named by where this copy stands too: another copy of the lesson on the same
// server keeps caches of its own, which this one must leave alone.
var PREFIX = "hayasa " + self.registration.scope + " ";
var CACHE = PREFIX + "@CACHE@";
var FILES = @FILES@;

self.addEventListener("install", function (event) {
  event.waitUntil(
    caches
      .open(CACHE)
      .then(function (cache) {
        // Past the browser's HTTP cache, which may still hold the build before.
        return cache.addAll(
          FILES.map(function (file) {
            return new Request(file, { cache: "reload" });
          })
        );
      })
      .then(function () {
        return self.skipWaiting();
      })
  );
});

self.addEventListener("activate", function (event) {
  event.waitUntil(
    caches
      .keys()
      .then(function (names) {
        return Promise.all(
          names
            .filter(function (name) {
              return name.indexOf(PREFIX) === 0 && name !== CACHE;
            })
            .map(function (name) {
              return caches.delete(name);
            })
        );
      })
      .then(function () {
        return self.clients.claim();
      })
  );
});

self.addEventListener("fetch", function (event) {
  if (event.request.method !== "GET") return;
  event.respondWith(
    caches.open(CACHE).then(function (cache) {
      return cache.match(event.request, { ignoreSearch: true }).then(function (kept) {
        return kept || fetch(event.request);
      });
    })
  );
});
