#!/usr/bin/env node
// Measures the page in headless Chromium and in Firefox and prints
// "key value" lines for bench/run.sh. A report, not a test.
//
// Usage: bench/web_bench.js DIST [loads]
//   DIST holds hayasa.html (the one file) and web/ (the hosted folder).
// For each engine: first paint from file://, and from a server on
// 127.0.0.1 before and after the service worker keeps the page; a 10 s race
// from its click to its last tick; the page's script per tick, beside a bare
// page that paints the same columns and caption on canvases of their own on
// the same 20 ms grid, measured in the same browser; and the plain drawing
// path (?plain=1). Chromium also gives the main thread's task time per tick
// and every figure again with the CPU slowed 6 times.
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');

const puppeteer = require(path.join(__dirname, '..', 'tests', 'e2e', 'node_modules', 'puppeteer-core'));
// The tests' own server and Chromium switches, so the figures come from the
// page as the tests see it.
const { serve } = require('../tests/e2e/browser');
const { CHROMIUM_FLAGS } = require('../tests/e2e/drivers');

const VIEWPORT = { width: 1024, height: 768, deviceScaleFactor: 1 };
const { DIST1, TIME1, START_RACE } = require('../tests/e2e/steps');
const IDLE = 'window.hayasaTest.idle()';

const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
const out = (k, v) => console.log(`${k} ${typeof v === 'number' ? v.toFixed(4) : v}`);

async function launch(engine) {
  if (engine === 'chromium') {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'hayasa-bench-'));
    return puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile,
      defaultViewport: VIEWPORT, args: [...CHROMIUM_FLAGS, '--window-size=1024,768'] });
  }
  return puppeteer.launch({ browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true,
    defaultViewport: VIEWPORT });
}

// The ready mark the page sets once the lesson runs and its first frame is painted.
async function readyAt(page, url) {
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction('window.hayasaReady === true', { timeout: 30000 });
  return page.evaluate("performance.getEntriesByName('hayasa-ready')[0].startTime");
}

async function stagePoint(page, [x, y]) {
  const r = await page.evaluate("(() => { const r = document.getElementById('stage').getBoundingClientRect();"
    + ' return [r.left, r.top, r.width]; })()');
  const s = r[2] / 1024;
  return [r[0] + (x + 0.5) * s, r[1] + (y + 0.5) * s];
}

async function enter(page, field, text) {
  await page.mouse.click(...await stagePoint(page, field));
  await page.keyboard.type(text);
  await page.keyboard.press('Escape');
  await page.evaluate(IDLE);
}

// The page's own time spent in its ticks: the call into the lesson and the
// painting that follows it, as the page's clock sees it.
const WATCH_TICKS = `(() => {
  window.benchTicks = { script: 0, n: 0 };
  const timer = Hayasa.bridge.timer;
  Hayasa.bridge.timer = function (id) {
    const t0 = performance.now();
    timer(id);
    window.benchTicks.script += performance.now() - t0;
    window.benchTicks.n++;
  };
  window.benchRace = {};
  document.getElementById('RedyGoBtn').addEventListener('click', () => { window.benchRace.start = performance.now(); }, true);
  new MutationObserver(() => {
    if (!document.getElementById('TrialBitBtn').hidden && window.benchRace.start && !window.benchRace.end)
      window.benchRace.end = performance.now();
  }).observe(document.getElementById('TrialBitBtn'), { attributes: true });
})()`;

async function metrics(cdp) {
  if (!cdp) return {};
  const got = await cdp.send('Performance.getMetrics');
  return Object.fromEntries(got.metrics.map((m) => [m.name, m.value]));
}

// A 100 m race in 10 s: wall time from the click to the tick that ends it,
// the page's script per tick, and (Chromium) the main thread's task time.
async function race(page, cdp, url) {
  await readyAt(page, url);
  await page.evaluate(WATCH_TICKS);
  await enter(page, DIST1, '100');
  await enter(page, TIME1, '10');
  const before = await metrics(cdp);
  await page.mouse.click(...await stagePoint(page, START_RACE));
  await page.waitForFunction('window.benchRace.end', { timeout: 120000, polling: 250 });
  const after = await metrics(cdp);
  const r = await page.evaluate('[window.benchRace.end - window.benchRace.start, window.benchTicks.script, window.benchTicks.n]');
  const task = cdp ? ((after.TaskDuration - before.TaskDuration) * 1000) / r[2] : NaN;
  return { wall: r[0] / 1000, script: r[1] / r[2], task, ticks: r[2] };
}

// The bare page: on the race's 20 ms grid, 200 times, a few columns of three
// bars and the elapsed time, each on a canvas of its own size, as the page
// paints a tick; its script per change, and (Chromium) its task time.
const FLOOR = `<!DOCTYPE html><meta charset="utf-8"><title>floor</title>
<style>body{margin:0;background:rgb(128,255,128)}canvas{position:absolute}</style>
<script>
window.runFloor = function () {
  return new Promise(function (done) {
    function canvas(left, top, width, height) {
      var c = document.createElement("canvas");
      c.style.left = left + "px"; c.style.top = top + "px";
      c.style.width = width + "px"; c.style.height = height + "px";
      c.width = width; c.height = height;
      document.body.appendChild(c);
      return c.getContext("2d", { willReadFrequently: true });
    }
    var bars = [0, 1, 2].map(function (i) { return canvas(104, 200 + 56 * i, 800, 20); });
    var caption = canvas(656, 128, 368, 32);
    var colours = ["rgb(128, 0, 0)", "rgb(0, 0, 255)", "rgb(255, 0, 255)"];
    var n = 0, script = 0, t0 = performance.now();
    (function tick() {
      if (++n > 200) return done(script / 200);
      var s0 = performance.now();
      for (var i = 0; i < 3; i++) { bars[i].fillStyle = colours[i]; bars[i].fillRect((n - 1) * 4, 0, 4, 20); }
      caption.fillStyle = "rgb(128, 255, 128)"; caption.fillRect(0, 0, 368, 32);
      caption.fillStyle = "rgb(255, 0, 0)"; caption.font = "bold 32px sans-serif";
      caption.fillText("経過時間" + (n * 0.05).toFixed(2) + "秒", 0, 28);
      script += performance.now() - s0;
      setTimeout(tick, Math.max(0, t0 + (n + 1) * 20 - performance.now()));
    })();
  });
};
</script>`;

async function floor(page, cdp, file) {
  await page.goto('file://' + file, { waitUntil: 'load' });
  await page.evaluate('new Promise((r) => setTimeout(r, 300))'); // the load's own frames are not counted
  const before = await metrics(cdp);
  const script = await page.evaluate('window.runFloor()');
  const after = await metrics(cdp);
  return { script, task: cdp ? ((after.TaskDuration - before.TaskDuration) * 1000) / 200 : NaN };
}

async function measure(engine, dist, loads, floorFile) {
  const browser = await launch(engine);
  const page = (await browser.pages())[0] || (await browser.newPage());
  await page.setViewport(VIEWPORT);
  const cdp = engine === 'chromium' ? await page.createCDPSession() : null;
  if (cdp) await cdp.send('Performance.enable');
  const file = 'file://' + path.join(dist, 'hayasa.html');
  const server = await serve(path.join(dist, 'web'));
  const hosted = `http://127.0.0.1:${server.address().port}/`;
  const k = (name) => `web_${engine}_${name}`;
  try {
    for (const rate of cdp ? [1, 6] : [1]) {
      if (cdp) await cdp.send('Emulation.setCPUThrottlingRate', { rate });
      const t = rate === 1 ? '' : `_throttled${rate}`;
      const fromFile = [];
      for (let i = 0; i < loads; i++) fromFile.push(await readyAt(page, file));
      out(k('first_paint_file_ms' + t), median(fromFile));
      out(k('first_paint_file_max_ms' + t), Math.max(...fromFile));
      // Cold: nothing kept yet, the worker not installed; warm: served by it.
      if (cdp) {
        await cdp.send('Storage.clearDataForOrigin', { origin: hosted.slice(0, -1), storageTypes: 'all' });
      }
      out(k('first_paint_server_cold_ms' + t), await readyAt(page, hosted));
      const controlled = await page.waitForFunction('navigator.serviceWorker && navigator.serviceWorker.controller',
        { timeout: 10000 }).then(() => true, () => false);
      const warm = [];
      for (let i = 0; i < loads && controlled; i++) warm.push(await readyAt(page, hosted));
      out(k('first_paint_server_warm_ms' + t), controlled ? median(warm) : 'n/a');
      const r = await race(page, cdp, file);
      out(k('race_10s_wall_s' + t), r.wall);
      out(k('tick_script_ms' + t), r.script);
      if (cdp) out(k('tick_task_ms' + t), r.task);
      const f = await floor(page, cdp, floorFile);
      out(k('floor_script_ms' + t), f.script);
      if (cdp) out(k('floor_task_ms' + t), f.task);
      if (rate === 1) {
        const plain = await race(page, cdp, file + '?plain=1');
        out(k('plain_tick_script_ms'), plain.script);
        if (cdp) out(k('plain_tick_task_ms'), plain.task);
        out(k('js_heap_mb'), await page.evaluate('performance.memory ? performance.memory.usedJSHeapSize / 1048576 : NaN'));
      }
    }
    out(k('version'), (await browser.version()).replace(/\s+/g, '_'));
  } finally {
    await server.halt();
    await browser.close();
  }
}

async function main() {
  const dist = path.resolve(process.argv[2] || 'dist');
  const loads = Number(process.argv[3] || 10);
  const floorFile = path.join(os.tmpdir(), `hayasa-floor-${process.pid}.html`);
  fs.writeFileSync(floorFile, FLOOR);
  try {
    for (const engine of ['chromium', 'firefox']) await measure(engine, dist, loads, floorFile);
    out('web_page_mb', fs.statSync(path.join(dist, 'hayasa.html')).size / 1048576);
  } finally {
    fs.unlinkSync(floorFile);
  }
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
