// The scenarios of one edition alone: the desktop window's placement, frame
// and ends; the page's viewports, fingers, server, hosted edition, audit and
// screenshots.
'use strict';

const {
  MAROON, GREEN, RACE_BAR1, FULL_BAR, ARRIVAL_X, RESULT_X, DIST1, TIME1, DIST2, TIME2, DIST3, TIME3, VALUE,
  START_RACE, RETRY, TRIAL, START_RUN, FINISH, PAGE, label, AUDIT, REBUILT, FIRST_START, RACE_100M_10S,
  VERIFY_TIME_10, TOUCH, RED, ELAPSED,
} = require('./steps');

// よ～い、ドン！'s button.
const START_BOX = [656, 56, 201, 57];
// 100 m in 10 s raced to the end, the clock stopped at 10 s.
const RACE_TO_END = [
  { enter: DIST1, text: '100' },
  { enter: TIME1, text: '10' },
  { click: START_RACE },
  { count: [105, 201, 798, 18], of: MAROON, is: 798 * 18, within: 12, what: 'the full bar' },
  { js: "document.getElementById('JikanLbl').textContent.trim()", is: '経過時間10.00秒', what: 'the clock stopped' },
];

module.exports = {
  // ---- The desktop window alone ----

  'close-box': { on: ['x11'], steps: [{ close: true }, { ends: true }] },

  // Where the program puts its window on a screen without a window manager,
  // and where もう一度 puts it back.
  ...Object.fromEntries(
    [
      ['1024x768', 0, 0],
      ['1280x1024', 128, 128],
      ['1920x1080', 448, 156],
      ['800x600', 0, 0],
    ].map(([screen, x, y]) => [
      `placement-${screen}`,
      {
        on: ['x11'],
        screen,
        steps: [
          { window: [x, y, 1024, 768], within: 0, what: 'first shown' },
          { click: RETRY },
          { window: [0, 0, 1024, 768], what: 'after もう一度' },
        ],
      },
    ])
  ),

  // With a window manager the frame is part of the 1024 x 768.
  'window-manager': {
    on: ['x11'],
    screen: '1920x1080',
    setup: [{ wm: 'openbox' }],
    steps: [
      { outer: [448, 156, 1024, 768], within: 15, what: 'first shown with its frame' },
      { maximize: [0, 0, 1920, 1080] },
      { click: RETRY },
      { outer: [0, 0, 1024, 768], within: 15, what: 'after もう一度 from maximised' },
      { close: true },
      { ends: true },
    ],
  },

  // Where the message box stands: runner 1 covers 1000 m in 10 s; aligned to
  // 11 s it would run 1100 m.
  ...Object.fromEntries(
    ['bare', 'openbox'].map((wm) => [
      `box-centred-${wm}`,
      {
        on: ['x11'],
        desktopName: `look_box-centred-${wm}`,
        screen: '1280x1024',
        setup: wm === 'openbox' ? [{ wm: 'openbox' }] : [],
        steps: [
          { enter: DIST1, text: '1000' },
          { enter: TIME1, text: '10' },
          { click: START_RACE },
          { count: RACE_BAR1, of: MAROON, is: FULL_BAR, within: 8, what: 'the race' },
          { px: TRIAL, not: GREEN, what: '確かめよう！ is shown' },
          ...VERIFY_TIME_10.slice(0, 3),
          { keys: ['Escape'] },
          { click: VALUE },
          { type: '11' },
          { box: 'open', what: 'the message box' },
          {
            boxCentred: true, framed: wm === 'openbox', within: 5, what: "the box's place",
          },
          { boxCentred: true, framed: wm === 'openbox', steady: 1, what: 'the box stays centred' },
        ],
      },
    ])
  ),

  'destroyed-from-outside': {
    on: ['x11'],
    desktopName: 'look_destroyed-from-outside',
    screen: '1280x1024',
    steps: [{ destroy: true, what: 'XDestroyWindow on the main window' }, { ends: true, within: 10 }],
  },

  // ---- The page alone ----

  ...Object.fromEntries(
    [
      [1024, 768],
      [1920, 1080],
      [768, 1024],
    ].map((viewport) => [
      `viewport-${viewport.join('x')}`,
      {
        on: PAGE,
        viewport,
        steps: [
          { stageFits: true },
          ...FIRST_START,
          { margins: GREEN },
          { enter: DIST1, text: '100' },
          { enter: TIME1, text: '10' },
          { click: START_RACE },
          // Scaled, a bar's edge pixels blend with what is beside them: its inside.
          { count: [105, 201, 798, 18], of: MAROON, is: 798 * 18, within: 8, what: 'the bar of 100 m in 10 s' },
          { px: [906, 210], is: GREEN, what: 'nothing past the bar' },
          { label: [ARRIVAL_X, 200, 60, 21], ink: MAROON, text: '10秒', what: 'the arrival label' },
        ],
      },
    ])
  ),

  // The typical use by finger, upright and across.
  ...Object.fromEntries([[768, 1024], [1024, 768]].map((viewport) => [
    `touch-${viewport.join('x')}`,
    { on: PAGE, touch: true, viewport, steps: TOUCH },
  ])),

  http: {
    on: PAGE,
    serve: true,
    steps: [
      { js: 'location.href', like: '^http://127\\.0\\.0\\.1:[0-9]+/', what: 'served over HTTP' },
      ...RACE_100M_10S,
    ],
  },

  // The hosted edition (dist/web) from 127.0.0.1: it installs, keeps itself
  // for offline use, and a rebuild reaches the pupils on their next visit
  // but one. Chromium alone can be asked for installability and taken
  // offline by DevTools.
  hosted: {
    on: PAGE,
    serve: 'hosted',
    steps: [
      { js: 'location.href', like: '^http://127\\.0\\.0\\.1:[0-9]+/$', what: 'served over HTTP' },
      { installable: true, only: 'chromium', what: 'installable' },
      {
        js: 'navigator.serviceWorker.ready.then(function (r) { return r.active.state; })', is: 'activated',
        within: 15, what: 'the service worker has kept the files',
      },
      { visit: true },
      { js: 'navigator.serviceWorker.controller !== null', is: true, what: 'the page is kept by its service worker' },
      { server: 'stop' },
      { visit: true, what: 'a visit with the server stopped' },
      ...RACE_100M_10S,
      { server: 'start' },
      { offline: true, only: 'chromium' },
      { visit: true, only: 'chromium', what: 'a visit offline' },
      ...RACE_100M_10S.map((s) => ({ ...s, only: 'chromium' })),
      { offline: false, only: 'chromium' },
      { rebuild: ['<title>速さの比べ方</title>', `<title>${REBUILT}</title>`] },
      { visit: true, what: 'the visit that finds the new build' },
      {
        js: "Promise.all([caches.keys(), fetch('sw.js', { cache: 'no-store' }).then(function (r) { return r.text(); })])"
          // A cache is named by the copy's scope and the build's name in sw.js.
          + ".then(function (a) { var n = a[0][0] || ''; return a[0].length === 1"
          + " && n.indexOf('hayasa ' + new URL('.', location.href).href + ' ') === 0"
          + " && a[1].indexOf('\"' + n.split(' ').pop() + '\"') >= 0; })"
          // While the new worker takes over, WebKit may fail a fetch: look again.
          + '.catch(function () { return false; })',
        is: true, within: 15, what: "the new build's cache alone",
      },
      { visit: true },
      { js: 'document.title', is: REBUILT, what: 'the new build is shown' },
    ],
  },

  // axe-core finds nothing at each stage of a lesson but the contrast of
  // runner 3's magenta label.
  audit: {
    on: PAGE,
    steps: [
      // A page with a history of its own may not close itself: it shows its
      // closing screen.
      { visit: '?again' },
      AUDIT('at the first start'),
      { enter: DIST1, text: '1000' },
      { enter: TIME1, text: '10' },
      { click: START_RACE },
      { count: RACE_BAR1, of: MAROON, above: 0, below: FULL_BAR, within: 3, what: 'the race runs' },
      AUDIT('mid-race'),
      { count: RACE_BAR1, of: MAROON, is: FULL_BAR, within: 8, what: 'the race ends' },
      ...VERIFY_TIME_10,
      AUDIT('in verification mode'),
      { click: VALUE },
      { type: '11', what: '1100 m: out of range' },
      { box: 'open', what: 'the message box' },
      AUDIT('with the message box open'),
      { keys: ['Enter'] },
      { box: 'closed' },
      { click: FINISH },
      { ends: true },
      AUDIT('on the closing screen'),
    ],
  },

  // The window made smaller mid-race: the bar still reaches its end, もう一度
  // clears the track and the clock, and a race afterwards gives the pixels
  // of a page loaded at that size with the plain drawing paths.
  'resize-during-race': {
    on: PAGE,
    viewport: [1920, 1080],
    steps: [
      { enter: DIST1, text: '100' },
      { enter: TIME1, text: '10' },
      { click: START_RACE },
      { count: RACE_BAR1, of: MAROON, above: 0, within: 4, what: 'the bar is growing' },
      { resize: [1366, 768] },
      { count: [105, 201, 798, 18], of: MAROON, is: 798 * 18, within: 12, what: 'the full bar after the resize' },
      { click: RETRY },
      {
        all: [{ count: RACE_BAR1, of: MAROON, is: 0 }, { count: ELAPSED, of: RED, is: 0 }],
        what: 'no bar and no time after もう一度',
      },
      ...RACE_TO_END,
      { snap: 'resized' },
      { visit: '?plain=1' },
      ...RACE_TO_END,
      // The fields' rounded corners blend a level or two differently once
      // the stage has been zoomed.
      { sameAs: 'resized', tol: 2, what: 'the same pixels as the plain paths after a fresh load' },
    ],
  },

  // Texts as sharp at projector scale as at scale 1, also with a list
  // dropped down.
  'sharp-text': {
    on: PAGE,
    steps: [
      { halfTones: START_BOX, keep: 'flat', within: 0 },
      { resize: [1920, 1080] },
      { press: '#ComboBox1 .arrow' },
      { js: "!document.getElementById('ComboBox1-list').hidden", is: true, what: 'the list dropped down' },
      { halfTones: START_BOX, atMost: { kept: 'flat', plus: 0.05 }, within: 0, what: 'the caption at 1920x1080' },
    ],
  },

  // A browser without WebAssembly: a sentence says so. Only Chromium can be
  // made to lack it.
  'no-wasm': {
    on: ['chromium'],
    wasm: false,
    steps: [
      { js: 'typeof WebAssembly', is: 'undefined', within: 0, what: 'the browser lacks WebAssembly' },
      {
        js: "(function (e) { return !e.hidden && e.getClientRects().length > 0; })(document.getElementById('nowasm'))",
        is: true, what: 'the sentence about WebAssembly is shown',
      },
      { js: label('nowasm'), has: 'WebAssembly' },
    ],
  },

  // The README's pictures (scripts/screenshots.sh), not a test.
  screenshots: {
    on: ['x11'],
    manual: true,
    steps: [
      { shot: 'docs/screenshot-start.png' },
      { enter: DIST1, text: '100' },
      { enter: TIME1, text: '20' },
      { enter: DIST2, text: '100' },
      { enter: TIME2, text: '12' },
      { enter: DIST3, text: '60' },
      { enter: TIME3, text: '15' },
      { click: START_RACE },
      { count: RACE_BAR1, of: MAROON, is: FULL_BAR, within: 12, what: "runner 1's full bar" },
      { label: [ARRIVAL_X, 200, 60, 21], ink: MAROON, text: '20秒', what: "runner 1's arrival label" },
      { shot: 'docs/screenshot-race.png' },
      ...VERIFY_TIME_10,
      { click: START_RUN },
      { count: [104, 536, 400, 20], of: MAROON, is: 8000, within: 8, what: "runner 1's verification bar" },
      { label: [RESULT_X, 536, 80, 21], ink: MAROON, text: '50.00ｍ', what: "runner 1's result label" },
      { shot: 'docs/screenshot-verification.png' },
    ],
  },
};
