#!/usr/bin/env node
// A seeded random sequence of real input on the page: clicks and taps on
// what a user can reach at that moment, keys, the wheel over lists, new
// viewport sizes, the tab sent behind another and back. After every event
// the page must have raised no error or unhandled rejection, shown no error
// box and still have its stage drawn; after the sequence every run must end.
// On a failure it prints the seed and the shortest prefix that still fails.
//   node random.js ENGINE --page PATH [--seed N] [--events N]
// Exit codes as run.js's.
'use strict';

const { Failure, Skip, until } = require('./common');
const { Browser, RECT_OF } = require('./browser');

// Before the page's own scripts: every error and unhandled rejection kept.
const LISTENERS = "window.hayasaFaults = []; window.hayasaHidden = 0;"
  + " document.addEventListener('visibilitychange', function () { if (document.hidden) hayasaHidden++; });"
  + " addEventListener('error', function (e) { hayasaFaults.push('error: ' + e.message + ' at ' + e.filename + ':' + e.lineno); });"
  + " addEventListener('unhandledrejection', function (e) { var r = e.reason;"
  + " hayasaFaults.push('unhandled rejection: ' + (r && r.message ? r.message + ' ' + (r.stack || '') : r)); });";

// What went wrong since the last look, and what a user can reach now:
// [x, y] centres in the viewport by kind.
const PROBE = `(function () {
  var RACE_TIMER = 45; // Timer1 in the layout's numbering
  var faults = window.hayasaFaults ? hayasaFaults.splice(0) : ['the fault listeners are missing'];
  var box = document.getElementById('msgbox'), text = document.getElementById('msgbox-text').textContent;
  if (box.open && text.indexOf('予期しないエラー') === 0) faults.push('error box: ' + text);
  var c = document.getElementById('surface'), k = Hayasa.stage.scale;
  if (c.width !== Math.round(1024 * k) || c.height !== Math.round(768 * k))
    faults.push('the surface is ' + c.width + 'x' + c.height + ' at scale ' + k);
  var p = c.getContext('2d').getImageData(Math.floor(500 * k), Math.floor(400 * k), 1, 1).data;
  if (Math.abs(p[0] - 128) > 2 || Math.abs(p[1] - 255) > 2 || Math.abs(p[2] - 128) > 2)
    faults.push('the stage at (500,400) is ' + [p[0], p[1], p[2]] + ', not the window colour');
  var rectOf = ${RECT_OF};
  function centre(e) {
    var r = rectOf(e);
    return r.width > 0 && r.height > 0 && r.bottom > 0 && r.right > 0 && r.left < innerWidth && r.top < innerHeight
      ? [Math.floor(r.left + r.width / 2), Math.floor(r.top + r.height / 2)] : null;
  }
  var reach = { button: [], field: [], arrow: [], row: [], list: [] };
  function add(kind, e, id) { var p = e && centre(e); if (p) reach[kind].push(p.concat([id])); }
  var closing = !document.getElementById('closing').hidden;
  if (box.open) add('button', box.querySelector('button'));
  else if (closing) add('button', document.getElementById('closing-restart'));
  else Array.prototype.forEach.call(document.querySelectorAll('#stage [data-ctl]'), function (e) {
    if (!e.getClientRects().length) return;
    if (e.tagName === 'BUTTON') add('button', e, e.id);
    else if (e.classList.contains('list')) {
      add('field', e.querySelector('.field'), e.id); add('arrow', e.querySelector('.arrow'), e.id); add('list', e, e.id);
    }
  });
  Array.prototype.forEach.call(document.querySelectorAll('.listbox'), function (b) {
    if (b.hidden) return;
    var q = rectOf(b);
    Array.prototype.forEach.call(b.children, function (o, i) {
      var r = rectOf(o);
      if (r.top >= q.top && r.bottom <= q.bottom) add('row', o, i);
    });
  });
  var s = document.getElementById('stage').getBoundingClientRect();
  function val(id) { return document.getElementById(id).textContent.trim(); }
  return JSON.stringify({ faults: faults, reach: reach, stage: [s.left, s.top, s.width, s.height],
    run: Hayasa.anyTimerRunning(), race: !!(Hayasa.timers[RACE_TIMER] && Hayasa.timers[RACE_TIMER].running),
    hidden: window.hayasaHidden,
    verifying: document.getElementById('StartBitBtn').getClientRects().length > 0, closing: closing, box: box.open,
    fields: ['ComboBox2', 'ComboBox4', 'ComboBox6', 'ComboBox7', 'ComboBox8'].map(val) });
})()`;

const LOOK = `new Promise(function (done) { requestAnimationFrame(function () { setTimeout(done, 0); }); })`
  + `.then(function () { return ${PROBE}; })`;

const SIZES = [[1024, 768], [768, 1024], [1280, 800], [800, 1280], [600, 800], [1366, 768], [1920, 1080], [640, 480]];
const KEYS = ['ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'Home', 'End', 'PageUp', 'PageDown', 'Tab',
  'Escape', 'Enter', 'Space', 'Backspace', 'Delete'];
const CHORDS = [[['Shift'], 'Tab'], [['Alt'], 'ArrowDown']];
// A run's ticks advance its clock by 20 ms in 8 ms of real time; a run
// that outlasts this is cut short with もう一度 rather than waited for.
const REAL_PER_SECOND = 0.4, DRAIN_SLACK = 10, DRAIN_CAP = 60;
const WATCH = 2; // seconds a user watches a run at most
const REPLAY_BUDGET = 150; // seconds for finding the shortest failing prefix

// mulberry32: small, fast, and the same sequence in every node.
function generator(seed) {
  let a = seed >>> 0;
  const next = () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
  const int = (n) => Math.floor(next() * n);
  return { next, int, pick: (list) => list[int(list.length)] };
}

// The longest a list's value can be given its text: the largest item that
// begins with it (Backspace shortens the text and keeps the value).
function mostOf(text, items) {
  const fit = items.filter((v) => String(v).startsWith(text));
  return Math.max(...(text && fit.length ? fit : items));
}
const TIMES = [...Array(300).keys()].map((i) => i + 1);
const VALUES = [...Array(1000).keys()].map((i) => i + 1);

// How often each control is aimed at, against the others of its kind: the
// first runner's lists, the verification lists and the buttons that start
// something most, the buttons that undo everything least, so that sequences
// get into races and verification runs.
const AIM = {
  RedyGoBtn: 4, TrialBitBtn: 30, StartBitBtn: 4, RetryBitBtn: 1, OwaruBitBtn: 0.1,
  ComboBox1: 4, ComboBox2: 4, ComboBox3: 0.5, ComboBox4: 0.5, ComboBox5: 0.2, ComboBox6: 0.2, ComboBox7: 3, ComboBox8: 3,
};

// In verification mode: what runs it, more than what leaves it. (確かめよう！
// shows only after a race: then it is what a user goes on with.)
const AIM_VERIFYING = { ...AIM, RedyGoBtn: 1, TrialBitBtn: 1, StartBitBtn: 6, ComboBox7: 5, ComboBox8: 5 };

// The event the generator draws from what can be reached, and plays.
function draw(rnd, s, touch) {
  const r = s.reach, kinds = [], aim = s.verifying ? AIM_VERIFYING : AIM;
  const aimed = (list) => {
    const w = list.map((t) => aim[t[2]] ?? 1), total = w.reduce((a, b) => a + b, 0);
    let x = rnd.next() * total;
    return list.find((_, i) => (x -= w[i]) < 0) || list[list.length - 1];
  };
  const add = (weight, list, make) => { if (list.length) kinds.push([weight, make]); };
  // A row other than the empty first one, mostly.
  const row = () => { const rows = r.row.filter((t) => t[2] > 0); return rnd.pick(rows.length && rnd.next() < 0.9 ? rows : r.row); };
  add(touch ? 6 : 10, r.row, () => ({ click: row() }));
  add(touch ? 4 : 0, r.row, () => ({ tap: row() }));
  add(6, r.button, () => ({ click: aimed(r.button) }));
  add(touch ? 2 : 0, r.button, () => ({ tap: aimed(r.button) }));
  add(4, r.field, () => ({ click: aimed(r.field) }));
  add(4, r.arrow, () => ({ click: aimed(r.arrow) }));
  add(touch ? 3 : 0, r.field, () => ({ tap: aimed(rnd.next() < 0.5 ? r.field : r.arrow) }));
  add(2, r.list, () => ({ wheel: aimed(r.list), dy: rnd.pick([-100, 100, 300]) }));
  const [left, top, w, h] = s.stage;
  add(2, [1], () => ({ click: [Math.floor(left + rnd.next() * w), Math.floor(top + rnd.next() * h)] }));
  add(8, [1], () => ({ type: String(rnd.int(10)) }));
  add(1, [1], () => ({ type: rnd.pick('abcxyz') }));
  add(6, [1], () => ({ key: rnd.pick(KEYS) }));
  add(1, [1], () => ({ chord: rnd.pick(CHORDS) }));
  add(1, [1], () => ({ resize: rnd.pick(SIZES) }));
  add(0.5, [1], () => ({ hide: true }));
  // A user watching a run to its end, for a while at most.
  add(2, s.run ? [1] : [], () => ({ watch: true }));
  let x = rnd.next() * kinds.reduce((a, k) => a + k[0], 0);
  return (kinds.find((k) => (x -= k[0]) < 0) || kinds[kinds.length - 1])[1]();
}

class Sequence {
  constructor(engine, page) {
    this.engine = engine;
    this.page = page;
    this.touch = engine !== 'webkit';
  }

  async open() {
    this.b = new Browser(this.engine, { page: this.page }, { serve: true, inject: LISTENERS, touch: this.touch });
    await this.b.start();
    // A page with a history of its own shows its closing screen rather
    // than closing itself.
    await this.b.act({ visit: '?again' });
  }

  async close() {
    if (this.b) await this.b.stop().catch(() => {});
    this.b = null;
  }

  // Once the page has handled what it was given.
  async look() {
    const s = JSON.parse(await (this.b.d.evalAsync || this.b.d.eval)(LOOK));
    if (s.faults.length) throw new Failure(s.faults.join('; '));
    return s;
  }

  async play(e) {
    const d = this.b.d;
    if (e.click) await d.click(e.click[0], e.click[1]);
    else if (e.tap) await d.tap(e.tap[0], e.tap[1]);
    else if (e.type) await d.type(e.type);
    else if (e.key) await d.key(e.key);
    else if (e.chord) await d.chord(...e.chord);
    else if (e.wheel) await d.wheel(e.wheel[0], e.wheel[1], e.dy);
    else if (e.resize) {
      await d.resize(...e.resize);
      await until(5, `the viewport never became ${e.resize}`, async () => (await this.b.js('innerWidth + "x" + innerHeight')) === e.resize.join('x'));
    } else if (e.hide) {
      await d.hide();
      this.hides++;
    }
    else if (e.watch) {
      await until(WATCH, '', () => this.b.js('!Hayasa.anyTimerRunning()')).catch((err) => {
        if (!(err instanceof Failure)) throw err;
      });
    }
  }

  // Plays `count` events of the seed's sequence, then waits for every run
  // to end. Returns the events played; throws a Failure with `at` set.
  async run(seed, events, log = () => {}) {
    const rnd = generator(seed), played = [];
    // What the sequence went through, counted where it began.
    this.seen = { races: 0, runs: 0, verification: 0, boxes: 0, closing: 0 };
    this.hides = 0;
    const count = (was, now) => {
      if (now.run && !(was.run && was.race === now.race)) this.seen[now.race ? 'races' : 'runs']++;
      for (const [k, key] of [['verifying', 'verification'], ['box', 'boxes'], ['closing', 'closing']]) if (now[k] && !was[k]) this.seen[key]++;
    };
    let s;
    try {
      s = await this.look();
      for (let i = 0; i < events; i++) {
        const e = draw(rnd, s, this.touch);
        played.push(e);
        log(i, e);
        await this.play(e);
        const was = s;
        s = await this.look();
        count(was, s);
        this.hidden = s.hidden;
      }
      await this.drain(s);
    } catch (err) {
      if (err instanceof Skip) throw err;
      const f = err instanceof Failure ? err : new Failure(err.stack || String(err));
      f.played = played;
      throw f;
    }
    return played;
  }

  // Every run ends within the longest its fields allow.
  async drain(s) {
    if (!s.run) return;
    const [t1, t2, t3, quantity, value] = s.fields;
    const longest = s.race ? Math.max(...[t1, t2, t3].map((t) => mostOf(t, TIMES)))
      : quantity === '時間' ? mostOf(value, VALUES) : Infinity;
    const bound = REAL_PER_SECOND * longest + DRAIN_SLACK;
    const ends = () => this.b.js('!Hayasa.anyTimerRunning()');
    if (bound <= DRAIN_CAP) {
      await until(bound, `a ${s.race ? 'race' : 'verification run'} did not end within ${bound.toFixed(1)} s`, ends);
      return;
    }
    try {
      await until(DRAIN_CAP, '', ends);
    } catch (e) {
      if (!(e instanceof Failure)) throw e;
      console.log(`a run that may last ${Number.isFinite(bound) ? `${bound.toFixed(0)} s` : 'hours'} was cut after ${DRAIN_CAP} s with もう一度`);
      await this.b.click([936, 84]);
      await until(2, 'もう一度 did not stop the run', ends);
    }
    await this.look();
  }
}

async function main(argv) {
  const [engine, ...rest] = argv;
  const opts = { seed: String(Date.now() % 100000), events: '2000' };
  for (let i = 0; i < rest.length; i += 2) opts[rest[i].replace(/^--/, '')] = rest[i + 1];
  if (!['chromium', 'firefox', 'webkit'].includes(engine) || !opts.page) {
    console.error('usage: random.js chromium|firefox|webkit --page PATH [--seed N] [--events N]');
    return 2;
  }
  const seed = Number(opts.seed), events = Number(opts.events);
  const seq = new Sequence(engine, opts.page);
  for (const signal of ['SIGTERM', 'SIGINT']) process.once(signal, () => seq.close().finally(() => process.exit(1)));
  const began = Date.now();
  const trace = process.env.HAYASA_E2E_TRACE ? (i, e) => console.log(i, JSON.stringify(e)) : undefined;
  try {
    await seq.open();
    await seq.run(seed, events, trace);
    const seen = Object.entries(seq.seen).map(([k, v]) => `${v} ${k}`).join(', ');
    console.log(`PASS: ${engine} random, seed ${seed}, ${events} events in ${((Date.now() - began) / 1000).toFixed(0)} s (${seen}; behind another tab ${seq.hides} times, hidden ${seq.hidden} of them)`);
    return 0;
  } catch (e) {
    if (e instanceof Skip) {
      console.log(`SKIP: ${e.message}`);
      return 77;
    }
    const n = e.played ? e.played.length : 0;
    console.log(`FAIL: ${engine} random, seed ${seed}, event ${n}: ${e.message}`);
    await seq.close();
    if (!n) return 1;
    // The shortest prefix of the same seed that still fails, each from a
    // fresh page: the drawn events follow the page's state, so a replay
    // may part from the first run.
    // Within a time limit, so that CI's limit still leaves the answer printed.
    let lo = 1, hi = n, shortest = e;
    const giveUp = Date.now() + REPLAY_BUDGET * 1000;
    while (lo < hi && Date.now() < giveUp) {
      const mid = Math.floor((lo + hi) / 2);
      try {
        await seq.open();
        await seq.run(seed, mid);
        lo = mid + 1;
      } catch (f) {
        if (f instanceof Skip) throw f;
        hi = mid;
        shortest = f;
      } finally {
        await seq.close();
      }
    }
    if (lo < hi) console.log(`the search stopped after ${REPLAY_BUDGET} s: prefixes from ${lo} to ${hi - 1} events were not tried`);
    console.log(`shortest failing prefix: ${hi} events of seed ${seed} (replay: --seed ${seed} --events ${hi}): ${shortest.message}`);
    for (const [i, ev] of (shortest.played || []).entries()) console.log(`  ${i + 1} ${JSON.stringify(ev)}`);
    return 1;
  } finally {
    await seq.close();
  }
}

main(process.argv.slice(2)).then((code) => process.stdout.write('', () => process.exit(code)));
