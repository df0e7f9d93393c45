// The names, places, colours and step lists the scenarios share: stage
// pixels of the layout, and the worked example's steps by mouse and by finger.
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

module.exports = {
  TITLE, MAROON, BLUE, WHITE, GREEN, RED, BLACK, TRACK_LEFT, TRACK_WIDTH, BAR_HEIGHT, RACE_BAR1, RACE_BAR2, TRUN_BAR2,
  TRUN_BARS, VERIFY_TRACK, FULL_BAR, ARRIVAL_X, RESULT_X, ELAPSED, JIKAN, DIST1, TIME1, DIST2, TIME2, DIST3, TIME3,
  QUANTITY, VALUE, START_RACE, RETRY, TRIAL, START_RUN, FINISH, PAGE, label, spoken, AUDIT, REBUILT, RACE_SPOKEN,
  FIRST_START, TYPICAL_RACE, RACE_100M_10S, VERIFY_TIME_10, FINGER, listOpen, fieldText, shortestRow, fingerEntry,
  TOUCH,
};
