// Every end-to-end scenario, once, as data: tests/e2e/run.js plays one on the
// desktop window (x11) or on the page (chromium, firefox, webkit). Places are
// stage pixels: the window's client area and the page's 1024 x 768 stage use
// the same coordinates. Colours are RRGGBB.
//
// A scenario: { steps, on, screen, viewport, touch, serve, wasm, setup, desktopName }
//   on        backends it runs on (all four unless given)
//   screen    the X screen the desktop case runs on (1024x768 unless given)
//   viewport  the page's viewport, [width, height] ([1024, 768] unless given)
//   touch     the browser takes touch input (a mobile screen in Chromium)
//   serve     the page comes from an HTTP server on 127.0.0.1, not file://;
//             'hosted': a copy of the hosted edition (dist/web) is served
//   wasm      false: the browser is made to lack WebAssembly before loading
//   setup     steps before the program starts (a window manager)
//   desktopName  the ctest name of the desktop case where it differs
// A step is input or a check; `only` limits it to some backends ('page' is
// the three browsers), `what` names it in a failure.
// Input, each followed by a wait until the edition has handled it:
//   {click: [x, y]}  {type: '15'}  {keys: ['ArrowDown', 'Escape']}
//   {enter: [x, y], text}  a list entry: click its field, type, Escape
//   {press: 'selector'}  a real pointer click on a page element's centre
//   {tap: [x, y] | 'selector'}  a finger's tap (scenarios with `touch`)
//   {tapRow: [list, row]}  a tap on an open list's row, moved into view by
//       a finger's swipes first (by script where a finger scrolls nothing)
//   {swipe: [list, row, rows]}  a finger from a shown row up by some rows
//   {close: true}  the window system's close command; {destroy: true}
//   {maximize: [x, y, w, h]}  asked again until the frame stands there
//   {wm: 'openbox'}  a window manager on the test's display
//   {visit: true | '?query'}  the page's address opened again (with a
//       query: a second entry in the tab's history), until the page starts
//   {server: 'stop' | 'start'}  the HTTP server, started again on its port
//   {offline: true | false}  DevTools' network emulation (Chromium)
//   {rebuild: [from, to]}  the hosted copy's index.html changed and its
//       manifest, icons and service worker written again by web/assemble.py
//   {shot: 'file.png'}  a picture of the window's client area, or of the viewport
// Checks wait until they hold, up to `within` seconds (5 unless given;
// 0 is one look), or with `steady: s` hold at every look for s seconds:
//   {px: [x, y], is: C} / {px, not: C}
//   {count: [x, y, w, h], of: C, is: n | not: n | above: n | below: n, tol}
//       `keep: 'name'` keeps the count; {kept: 'name'} stands for it
//   {label: [x, y, w, h], ink: C, text}  a text drawn at 16 pt: on the
//       desktop the exact glyphs at (x, y), on a page its ink in the box and
//       the text in the live region screen readers hear
//   {all: [checks]}  several checks of one look at the screen
//   {js: 'expression', is | has | hasNot | like | above}  the page's own
//       state; `keep` and {kept} as for counts
//   {window: [x, y, w, h]}  the client area on the screen; {outer: [...]}
//       the window with its frame
//   {box: 'open' | 'closed'}  the message box
//   {boxCentred: true, framed}  the box with its frame mid-screen
//   {audit: true}  axe-core finds no violation but the contrast of runner
//       3's magenta label
//   {installable: true}  DevTools finds no installability error (Chromium)
//   {stageFits: true}  the stage scaled evenly into the viewport, centred
//   {margins: C}  the viewport's margins beside the stage
//   {ends: true}  the program ends with exit code 0; a page that may not
//       close itself shows the closing screen instead and goes on
'use strict';

const TITLE = '速さの比べ方';
const MAROON = '800000', BLUE = '0000FF', WHITE = 'FFFFFF', GREEN = '80FF80';
const RED = 'FF0000', BLACK = '000000';

// The tracks as the layout places them (lesson/controls.h): each runner's
// full bar, and where an arrival or result label starts.
const TRACK_LEFT = 104, TRACK_WIDTH = 800, BAR_HEIGHT = 20;
const RACE_BAR1 = [TRACK_LEFT, 200, TRACK_WIDTH, BAR_HEIGHT];
const RACE_BAR2 = [TRACK_LEFT, 256, TRACK_WIDTH, BAR_HEIGHT];
const TRUN_BAR2 = [TRACK_LEFT, 592, TRACK_WIDTH, BAR_HEIGHT];
const TRUN_BARS = [TRACK_LEFT, 536, TRACK_WIDTH, 132]; // the three verification bars
const VERIFY_TRACK = [103, 514, 921, 155]; // the verification track and its labels
const FULL_BAR = TRACK_WIDTH * BAR_HEIGHT;
const ARRIVAL_X = TRACK_LEFT + TRACK_WIDTH + 32;
const RESULT_X = TRACK_LEFT + 672 + 16; // after a 672 px verification outline
// The running time beside 経過時間.
const ELAPSED = [788, 128, 120, 32];
const JIKAN = [656, 128, 368, 32]; // the whole elapsed-time label

// Field centres of the lists and buttons.
const DIST1 = [110, 86], TIME1 = [110, 134], DIST2 = [326, 86], TIME2 = [326, 134];
const DIST3 = [542, 86], TIME3 = [542, 134];
const QUANTITY = [30, 472], VALUE = [150, 472];
const START_RACE = [756, 84], RETRY = [936, 84], TRIAL = [96, 412];
const START_RUN = [468, 468], FINISH = [936, 404];

const PAGE = ['chromium', 'firefox', 'webkit'];
const label = (id) => `document.getElementById('${id}').textContent`;
// Every line the live region was given, in order (it keeps the last six).
const spoken = (lines) => ({
  js: "JSON.stringify(Array.from(document.getElementById('live').children, (l) => l.textContent))",
  is: JSON.stringify(lines), only: 'page', what: `the live region's lines ${lines.join(' / ')}`,
});
const AUDIT = (where) => ({ audit: true, within: 0, what: `no accessibility violation ${where}` });
const REBUILT = '速さの比べ方 新版';
const RACE_SPOKEN = ['走者２、12秒', '走者１、20秒', '経過時間20.00秒'];

const FIRST_START = [
  { px: [500, 400], is: GREEN, what: 'window colour' },
  { px: [95, 205], is: GREEN, what: 'label background' },
  { px: TRIAL, is: GREEN, what: '確かめよう！ hidden' },
  { px: START_RUN, is: GREEN, what: 'スタート！ hidden' },
  { px: QUANTITY, is: GREEN, what: 'the quantity list hidden' },
  { px: [936, 404], not: GREEN, what: 'お わ る shown' },
  { count: [103, 170, 760, 500], of: GREEN, is: 760 * 500, what: 'the tracks are empty' },
  { js: 'document.title', is: TITLE, only: 'page' },
];

// Runners 100 m in 20 s and 100 m in 12 s, raced to the end: the faster one
// arrives first and each is labelled with its time.
const TYPICAL_RACE = [
  { enter: DIST1, text: '100' },
  { enter: TIME1, text: '20' },
  { enter: DIST2, text: '100' },
  { enter: TIME2, text: '12' },
  { px: [103, 199], is: MAROON, what: "runner 1's outline" },
  { px: [904, 220], is: MAROON, what: "runner 1's outline end" },
  { px: [904, 276], is: BLUE, what: "runner 2's outline end" },
  { px: [500, 210], is: WHITE, what: 'the empty track' },
  { click: START_RACE },
  { count: RACE_BAR2, of: BLUE, is: FULL_BAR, within: 8, what: "runner 2's full bar" },
  { count: RACE_BAR1, of: MAROON, is: FULL_BAR, within: 8, what: "runner 1's full bar" },
  { label: [ARRIVAL_X, 256, 60, 21], ink: BLUE, text: '12秒', what: "runner 2's arrival label" },
  { label: [ARRIVAL_X, 200, 60, 21], ink: MAROON, text: '20秒', what: "runner 1's arrival label" },
  { px: TRIAL, not: GREEN, what: '確かめよう！ is shown' },
];

// Runner 1 over 100 m in 10 s, raced to the end.
const RACE_100M_10S = [
  { enter: DIST1, text: '100' },
  { enter: TIME1, text: '10' },
  { px: TRIAL, is: GREEN, what: '確かめよう！ hidden before the race' },
  { click: START_RACE },
  {
    count: RACE_BAR1, of: MAROON, above: 0, below: FULL_BAR, within: 4,
    what: 'the bar is growing',
  },
  { px: TRIAL, is: GREEN, what: '確かめよう！ hidden during the race' },
  { count: RACE_BAR1, of: MAROON, is: FULL_BAR, within: 8, what: 'the full bar' },
  { px: [905, 210], is: GREEN, what: 'nothing past the 800 px bar' },
  { label: [ARRIVAL_X, 200, 60, 21], ink: MAROON, text: '10秒', what: 'the arrival label' },
  { js: `${label('JikanLbl')}.trim()`, is: '経過時間10.00秒', only: 'page' },
  { px: TRIAL, not: GREEN, what: '確かめよう！ is shown' },
  { js: "!document.getElementById('TrialBitBtn').hidden", is: true, only: 'page' },
  { js: label('live'), has: '経過時間10.00秒', only: 'page', what: 'the live region' },
];

// A verification aligned to 時間 10 s after the typical race.
const VERIFY_TIME_10 = [
  { click: TRIAL },
  { click: QUANTITY },
  { keys: ['ArrowDown', 'ArrowDown'], what: '時間' },
  { enter: VALUE, text: '10' },
];

// ---- By finger ----

// Where a touch reaches the page as a finger; WebKitGTK's driver turns it
// into the mouse, so there a field only takes the focus and the rows keep
// the mouse's height.
const FINGER = ['chromium', 'firefox'];
const listOpen = (id) => `!document.getElementById('${id}-list').hidden`;
const fieldText = (id) => `${label(id)}.trim()`;
const shortestRow = (id) => 'Math.min.apply(null, Array.from(document.querySelectorAll('
  + `'#${id}-list [role=option]'), function (o) { return o.getBoundingClientRect().height; }))`;

// A list dropped down by a tap on its field (on its arrow), a row tapped.
const fingerEntry = (id, row, text, from = 'field') => [
  ...(from === 'field'
    ? [{ tap: `#${id} .field`, only: FINGER }, { tap: `#${id} .arrow`, only: 'webkit' }]
    : [{ tap: `#${id} .arrow` }]),
  { js: listOpen(id), is: true, what: `${id} dropped down by a tap on its ${from}` },
  { js: shortestRow(id), above: 43.99, only: FINGER, what: `${id}'s rows are at least 44 px tall on the screen` },
  { tapRow: [id, row] },
  { js: fieldText(id), is: text, what: `${id} shows ${text}` },
  { js: listOpen(id), is: false, what: `${id} closed on the pick` },
];

// Steps 1 to 7 of the worked example. A swipe through runner 2's open
// distance list scrolls its rows and picks nothing (where a finger scrolls).
const TOUCH = [
  ...fingerEntry('ComboBox1', 19, '100', 'arrow'),
  ...fingerEntry('ComboBox2', 20, '20'),
  { tap: '#ComboBox3 .field', only: FINGER },
  { tap: '#ComboBox3 .arrow', only: 'webkit' },
  { js: 'hayasaTest.handled', keep: 'handled', within: 0, only: 'chromium' },
  { js: "document.getElementById('ComboBox3-list').scrollTop", keep: 'scrolled', within: 0, only: 'chromium' },
  { swipe: ['ComboBox3', 6, 4], only: 'chromium', what: 'a finger moves up four rows from row 6' },
  {
    js: "document.getElementById('ComboBox3-list').scrollTop", above: { kept: 'scrolled' },
    only: 'chromium', what: 'the rows scrolled',
  },
  {
    all: [{ js: 'hayasaTest.handled', is: { kept: 'handled' } }, { js: fieldText('ComboBox3'), is: '' }, { js: listOpen('ComboBox3'), is: true }],
    only: 'chromium', within: 0, what: 'the swipe picked nothing and the list stays open',
  },
  { tapRow: ['ComboBox3', 19] },
  { js: fieldText('ComboBox3'), is: '100' },
  ...fingerEntry('ComboBox4', 12, '12', 'arrow'),
  { tap: START_RACE, what: 'よ～い、ドン！ tapped' },
  // Scaled, a bar's edge pixels blend with what is beside them: its inside.
  { count: [105, 257, 798, 18], of: BLUE, is: 798 * 18, within: 8, what: "runner 2's full bar" },
  { count: [105, 201, 798, 18], of: MAROON, is: 798 * 18, within: 8, what: "runner 1's full bar" },
  { tap: TRIAL, what: '確かめよう！ tapped' },
  ...fingerEntry('ComboBox7', 2, '時間'),
  ...fingerEntry('ComboBox8', 10, '10', 'arrow'),
  { tap: START_RUN, what: 'スタート！ tapped' },
  { label: [RESULT_X, 536, 80, 21], ink: MAROON, text: '50.00ｍ', within: 8, what: "runner 1's result" },
  { label: [RESULT_X, 592, 80, 21], ink: BLUE, text: '83.33ｍ', what: "runner 2's result" },
  { count: [105, 537, 398, 18], of: MAROON, is: 398 * 18, what: "runner 1's verification bar" },
  { count: [105, 593, 664, 18], of: BLUE, is: 664 * 18, what: "runner 2's verification bar" },
  { tap: RETRY, what: 'もう一度 tapped' },
  ...FIRST_START,
];

const scenarios = {
  'first-start': {
    screen: '1280x1024',
    steps: [
      ...FIRST_START,
      {
        js: 'document.activeElement && document.activeElement.id', is: 'ComboBox1',
        only: 'page', what: "the focus starts in runner 1's distance list",
      },
    ],
  },

  'race-100m-10s': { steps: RACE_100M_10S },

  // The worked example: after 10 s runner 1 has covered 50 m and runner 2
  // 83.33 m.
  'typical-use': {
    screen: '1280x1024',
    steps: [
      ...TYPICAL_RACE,
      spoken(RACE_SPOKEN),
      ...VERIFY_TIME_10,
      { px: [103, 535], is: MAROON, what: 'verification outline' },
      { px: [776, 545], is: MAROON, what: 'verification outline end (672 px)' },
      { px: [778, 545], is: GREEN, what: 'nothing past it' },
      { px: [500, 545], is: WHITE, what: 'verification track' },
      { count: [776, 514, 40, 21], of: BLACK, above: 10, what: "the label 84m at the outline's end" },
      { click: START_RUN },
      { count: [104, 592, 667, 20], of: BLUE, is: 13340, within: 8, what: "runner 2's verification bar" },
      { count: [104, 536, 400, 20], of: MAROON, is: 8000, within: 8, what: "runner 1's verification bar" },
      { label: [RESULT_X, 536, 80, 21], ink: MAROON, text: '50.00ｍ', what: "runner 1's result label" },
      { label: [RESULT_X, 592, 80, 21], ink: BLUE, text: '83.33ｍ', what: "runner 2's result label" },
      {
        all: [{ px: [505, 546], is: WHITE }, { px: [772, 602], is: WHITE }], steady: 0.5,
        what: 'the bars stopped at 400 and 667 px',
      },
      spoken([...RACE_SPOKEN, '走者１、50.00ｍ', '走者２、83.33ｍ', '経過時間10.00秒']),
      { click: RETRY },
      ...FIRST_START,
      { click: FINISH },
      { ends: true },
    ],
  },

  'type-ahead': {
    steps: [
      { click: DIST1 },
      { type: '15', what: '150 m: scale 200, a bar of 600 px' },
      { keys: ['Escape'] },
      { px: [704, 210], is: MAROON, what: 'outline end of 150 m' },
      { px: [706, 210], is: GREEN, what: 'nothing beyond it' },
      { click: TIME1 },
      { type: '125', what: 'stops at 12: no item begins with 125' },
      { keys: ['Escape'] },
      { click: START_RACE },
      { count: [104, 200, 600, 20], of: MAROON, is: 12000, within: 7, what: 'the bar of 150 m in 12 s' },
      { js: `${label('JikanLbl')}.trim()`, is: '経過時間12.00秒', only: 'page' },
      // Backspace shortens the text and picks nothing: runner 2 keeps 10 m,
      // 40 px on the 200 m scale, not the 4 px that 1 m would give.
      { click: DIST2 },
      { type: '10' },
      { keys: ['Backspace'] },
      { js: `${label('ComboBox3')}.trim()`, is: '1', only: 'page', what: 'the field after Backspace' },
      { keys: ['Escape'] },
      { px: [144, 266], is: BLUE, what: 'outline end of 10 m at scale 200' },
      { px: [146, 266], is: GREEN, what: 'nothing beyond it' },
    ],
  },

  // A value that would run past 1000 m opens the message box; the race
  // behind it ticks on, and the box is modal.
  'out-of-range': {
    desktopName: 'out-of-range-box',
    screen: '1280x1024',
    steps: [
      { enter: DIST1, text: '1000' },
      { enter: TIME1, text: '10' },
      { click: START_RACE },
      { count: RACE_BAR1, of: MAROON, is: FULL_BAR, within: 7, what: 'the race' },
      ...VERIFY_TIME_10,
      // A new race with the mode still open: choosing in the value list
      // empties the verification track, which would stop a verification run.
      { click: START_RACE },
      { click: VALUE },
      { type: '11', what: '1100 m: out of range' },
      { box: 'open', what: 'the message box' },
      { js: label('msgbox-text'), is: '範囲外です。再入力してください。', only: 'page' },
      { px: [500, 720], is: GREEN, what: 'the window behind the box keeps its colour' },
      {
        count: RACE_BAR1, of: MAROON, below: FULL_BAR, keep: 'opened', within: 0,
        what: 'the race still runs when the box opens',
      },
      {
        count: RACE_BAR1, of: MAROON, above: { kept: 'opened' },
        what: 'the race ticks on while the box is open',
      },
      { click: RETRY, what: 'もう一度 behind the modal box' },
      { count: RACE_BAR1, of: MAROON, above: 0, steady: 1, what: 'もう一度 acted behind the modal box' },
      { count: RACE_BAR1, of: MAROON, is: FULL_BAR, within: 7, what: 'the race behind the box' },
      { box: 'open', within: 0, what: 'the box stays open' },
      {
        js: "document.getElementById('msgbox').contains(document.activeElement)", is: true,
        only: 'page', what: "the box's button has the keyboard",
      },
      { keys: ['Enter'], what: 'Enter presses OK' },
      { box: 'closed', what: 'the box closes' },
    ],
  },

  'retry-during-race': {
    steps: [
      { enter: DIST1, text: '100' },
      { enter: TIME1, text: '10' },
      { click: START_RACE },
      // The label's text follows the running time once a second, for screen
      // readers, while the time shown beside 経過時間 changes on every tick.
      { js: label('JikanLbl'), has: '秒', only: 'page', what: 'the elapsed time in the label during the run' },
      {
        all: [
          { count: RACE_BAR1, of: MAROON, above: 0, below: FULL_BAR },
          { count: ELAPSED, of: RED, above: 20 },
        ],
        what: 'the race runs with its elapsed time shown',
      },
      { click: RETRY },
      { count: RACE_BAR1, of: MAROON, is: 0, what: 'no bar after もう一度' },
      {
        all: [{ count: RACE_BAR1, of: MAROON, is: 0 }, { count: ELAPSED, of: RED, is: 0 }],
        steady: 1, what: 'nothing runs on after もう一度',
      },
      { px: [500, 210], is: GREEN, what: 'the track is empty' },
      { js: label('JikanLbl'), hasNot: '秒', only: 'page', what: 'the elapsed time is gone' },
    ],
  },

  'retry-during-verification': {
    steps: [
      ...TYPICAL_RACE,
      { click: TRIAL },
      { click: QUANTITY },
      { keys: ['ArrowDown'], what: '距離' },
      { enter: VALUE, text: '100' },
      { click: START_RUN },
      { count: TRUN_BAR2, of: BLUE, above: 0, what: 'the verification run started' },
      { click: RETRY },
      { px: [300, 600], is: GREEN, what: 'the verification track is empty' },
      {
        count: [TRACK_LEFT, 536, TRACK_WIDTH, 133], of: GREEN, is: TRACK_WIDTH * 133, steady: 1,
        what: 'no verification bar grows again after もう一度',
      },
    ],
  },

  // A mouse press in a list's field only focuses it. Entering the value list
  // empties the verification track; a list dropped down by the press would
  // draw the alignment there again when a press elsewhere closes it.
  'field-press-focuses': {
    steps: [
      ...TYPICAL_RACE,
      ...VERIFY_TIME_10,
      { px: [500, 545], is: WHITE, what: 'the alignment is drawn' },
      { click: DIST1, what: 'the focus leaves the value list' },
      { click: VALUE, what: "a press in the value list's field" },
      { js: "document.getElementById('ComboBox8-list').hidden", is: true, only: 'page', what: 'no rows dropped down' },
      { count: [120, 490, 73, 150], of: GREEN, is: 73 * 150, what: 'nothing stands below the field' },
      { click: [500, 700], what: 'a press on the background' },
      { count: VERIFY_TRACK, of: GREEN, is: 921 * 155, steady: 0.5, what: 'the verification track stays empty' },
    ],
  },

  // A new quantity voids the alignment: スタート！ runs nothing until a value
  // is chosen for it, and the clock keeps the race's time.
  'start-needs-a-value': {
    steps: [
      ...TYPICAL_RACE,
      ...VERIFY_TIME_10,
      { count: JIKAN, of: RED, above: 100, keep: 'clock', what: 'the clock after the race' },
      { click: QUANTITY },
      { keys: ['ArrowUp'], what: '距離' },
      { js: `${label('ComboBox7')}.trim()`, is: '距離', only: 'page' },
      { click: START_RUN },
      {
        all: [
          { count: JIKAN, of: RED, is: { kept: 'clock' } },
          { count: TRUN_BARS, of: MAROON, is: 0 },
          { count: TRUN_BARS, of: BLUE, is: 0 },
        ],
        steady: 1, what: 'the clock stands and no verification bar grows',
      },
      { js: `${label('JikanLbl')}.trim()`, is: '経過時間20.00秒', only: 'page' },
      { enter: VALUE, text: '100' },
      { click: START_RUN },
      { count: TRUN_BAR2, of: BLUE, above: 0, what: 'the run starts once a value is chosen' },
      { count: JIKAN, of: RED, not: { kept: 'clock' }, what: 'the clock runs' },
    ],
  },

  finish: {
    desktopName: 'finish-button',
    steps: [
      // Firefox lets a tab the runner opened close itself, but not one with
      // a history: there the closing screen shows.
      { visit: '?again', only: 'firefox' },
      { click: FINISH },
      { ends: true },
      { js: "!document.getElementById('closing').hidden", is: true, only: 'page', what: 'the closing screen' },
      { px: START_RACE, is: GREEN, only: 'page', what: 'よ～い、ドン！ is gone' },
      { px: DIST1, is: GREEN, only: 'page', what: 'the lists are gone' },
      { count: [380, 280, 264, 100], of: BLACK, tol: 60, above: 500, only: 'page', what: 'おわり in the middle' },
      { press: '#closing-restart', only: 'page' },
      { js: "document.getElementById('closing').hidden", is: true, only: 'page', what: 'the closing screen goes' },
      ...FIRST_START.map((s) => ({ only: 'page', ...s })),
    ],
  },

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
          + ".then(function (a) { return a[0].length === 1 && a[1].indexOf('\"' + a[0][0] + '\"') >= 0; })",
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

module.exports = { scenarios, TITLE, GREEN, PAGE };
