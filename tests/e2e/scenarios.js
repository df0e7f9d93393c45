// Every end-to-end scenario, once, as data (the lesson's here, one edition's
// in scenarios_editions.js, shared steps in steps.js): run.js plays one on the
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
//   {resize: [w, h]}  the page's viewport made another size, the page kept
//   {snap: 'name'}  the stage's pixels kept under a name
//   {shot: 'file.png'}  a picture of the window's client area, or of the viewport
// Checks wait until they hold, up to `within` seconds (5 unless given;
// 0 is one look), or with `steady: s` hold at every look for s seconds:
//   {px: [x, y], is: C} / {px, not: C}
//   {count: [x, y, w, h], of: C, is: n | not: n | above: n | below: n, tol}
//       `keep: 'name'` keeps the count; {kept: 'name', plus: d} stands for it
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
//   {halfTones: [x, y, w, h], atMost}  the share of half-tones among the
//       edge pixels of よ～い、ドン！'s caption in that stage box; `keep` as
//       for counts
//   {margins: C}  the viewport's margins beside the stage
//   {sameAs: 'name', tol}  the stage's pixels are those of the snap of that name
//   {ends: true}  the program ends with exit code 0; a page that may not
//       close itself shows the closing screen instead and goes on
'use strict';

const {
  TITLE, MAROON, BLUE, WHITE, GREEN, RED, BLACK, TRACK_LEFT, TRACK_WIDTH, RACE_BAR1, TRUN_BAR2, TRUN_BARS,
  VERIFY_TRACK, FULL_BAR, RESULT_X, ELAPSED, JIKAN, DIST1, TIME1, DIST2, QUANTITY, VALUE, START_RACE, RETRY, TRIAL,
  START_RUN, FINISH, PAGE, label, spoken, RACE_SPOKEN, FIRST_START, TYPICAL_RACE, RACE_100M_10S, VERIFY_TIME_10,
} = require('./steps');

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

  ...require('./scenarios_editions'),
};

module.exports = { scenarios, TITLE, GREEN, PAGE };
