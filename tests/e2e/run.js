#!/usr/bin/env node
// Plays one scenario of scenarios.js on one edition, with real input, and
// checks what the screen shows.
//   node run.js BACKEND SCENARIO [--app PATH --xprobe PATH --glyphprobe PATH | --page PATH]
//   node run.js --list BACKEND    the scenarios it runs, with the X screen each needs
// BACKEND: x11 (the program on $DISPLAY), chromium, firefox, webkit (on $DISPLAY).
// Exit code 0 pass, 1 fail (what it last saw, and a screenshot in the current
// directory), 77 skip (a tool is missing), 2 usage. HAYASA_E2E_TRACE=1 prints
// how long each step took. random.js plays its sequences through the same
// Browser class.
'use strict';

const fs = require('fs');
const http = require('http');
const net = require('net');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const { spawn, execFile } = require('child_process');
const { scenarios, TITLE, GREEN, PAGE } = require('./scenarios');

class Failure extends Error {}
class Skip extends Error {}

const BACKENDS = ['x11', ...PAGE];
const MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
// WebKit has no headless mode: its window, toolbar and the largest viewport
// fit on this screen.
const WEBKIT_SCREEN = '2200x1400';
const CHROMIUM_FLAGS = [
  '--headless=new', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run', '--force-device-scale-factor=1',
];
// Resolves once the page has handled every input sent to it.
const IDLE = 'window.hayasaTest && window.hayasaTest.idle ? window.hayasaTest.idle()'
  + ' : new Promise(r => requestAnimationFrame(() => setTimeout(r, 0)))';
const POLL_MS = 50;
const DEFAULT_WITHIN = 5;
// Anti-aliasing and colour management move a browser's pixels a little.
const PAGE_TOLERANCE = 12;

const now = () => Date.now();
const pollPause = () => new Promise((r) => setTimeout(r, POLL_MS));

// ---- Pixels ----

const hex = (p) => p.map((v) => v.toString(16).padStart(2, '0')).join('').toUpperCase();
function near(p, colour, tol) {
  const want = [0, 2, 4].map((i) => parseInt(colour.slice(i, i + 2), 16));
  return p.every((v, i) => Math.abs(v - want[i]) <= tol);
}

// RGB pixels, and where stage pixel (x, y) lies among them.
class Shot {
  constructor(width, height, rgb, place) {
    Object.assign(this, { width, height, rgb, place });
  }

  raw(X, Y) {
    if (!(X >= 0 && X < this.width && Y >= 0 && Y < this.height)) return null;
    const i = (Y * this.width + X) * 3;
    return [this.rgb[i], this.rgb[i + 1], this.rgb[i + 2]];
  }

  at(x, y) {
    const p = this.raw(...this.place(x, y));
    if (!p) throw new Failure(`stage pixel (${x},${y}) is not on the screen`);
    return p;
  }

  count([x, y, w, h], colour, tol) {
    let n = 0;
    for (let j = y; j < y + h; j++) for (let i = x; i < x + w; i++) n += near(this.at(i, j), colour, tol);
    return n;
  }
}

const PNG_MAGIC = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);

// An 8-bit, non-interlaced RGB or RGBA PNG, as the browsers write them.
function decodePng(buf) {
  if (!buf.subarray(0, 8).equals(PNG_MAGIC)) throw new Failure('the screenshot is no PNG');
  let pos = 8, width, height, depth, type, interlace;
  const idat = [];
  while (pos < buf.length) {
    const len = buf.readUInt32BE(pos), kind = buf.toString('latin1', pos + 4, pos + 8);
    const body = buf.subarray(pos + 8, pos + 8 + len);
    if (kind === 'IHDR') [width, height, depth, type, interlace] = [body.readUInt32BE(0), body.readUInt32BE(4), body[8], body[9], body[12]];
    else if (kind === 'IDAT') idat.push(body);
    pos += 12 + len;
  }
  if (depth !== 8 || (type !== 2 && type !== 6) || interlace) throw new Failure(`unexpected PNG format ${depth}/${type}/${interlace}`);
  const bpp = type === 2 ? 3 : 4, stride = width * bpp;
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const rgb = Buffer.alloc(width * height * 3);
  let prev = Buffer.alloc(stride), line = Buffer.alloc(stride);
  for (let y = 0; y < height; y++) {
    const src = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)), filter = raw[y * (stride + 1)];
    for (let i = 0; i < stride; i++) {
      const a = i >= bpp ? line[i - bpp] : 0, b = prev[i], c = i >= bpp ? prev[i - bpp] : 0;
      let v = src[i];
      if (filter === 1) v += a;
      else if (filter === 2) v += b;
      else if (filter === 3) v += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      line[i] = v & 255;
    }
    for (let x = 0, o = y * width * 3; x < width; x++, o += 3) {
      rgb[o] = line[x * bpp];
      rgb[o + 1] = line[x * bpp + 1];
      rgb[o + 2] = line[x * bpp + 2];
    }
    [prev, line] = [line, prev];
  }
  return { width, height, rgb };
}

const CRC_TABLE = Array.from({ length: 256 }, (_, n) => {
  for (let k = 0; k < 8; k++) n = n & 1 ? 0xedb88320 ^ (n >>> 1) : n >>> 1;
  return n >>> 0;
});
function crc32(buf) {
  let c = 0xffffffff;
  for (const b of buf) c = CRC_TABLE[(c ^ b) & 255] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function encodePng(width, height, rgb) {
  const chunk = (kind, body) => {
    const head = Buffer.alloc(8), tail = Buffer.alloc(4);
    head.writeUInt32BE(body.length, 0);
    head.write(kind, 4, 'latin1');
    tail.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), body])), 0);
    return Buffer.concat([head, body, tail]);
  };
  const ihdr = Buffer.alloc(13);
  ihdr.writeUInt32BE(width, 0);
  ihdr.writeUInt32BE(height, 4);
  ihdr[8] = 8; // depth
  ihdr[9] = 2; // RGB
  const raw = Buffer.alloc((width * 3 + 1) * height);
  for (let y = 0; y < height; y++) rgb.copy(raw, y * (width * 3 + 1) + 1, y * width * 3, (y + 1) * width * 3);
  return Buffer.concat([PNG_MAGIC, chunk('IHDR', ihdr), chunk('IDAT', zlib.deflateSync(raw)), chunk('IEND', Buffer.alloc(0))]);
}

// xprobe's binary PPM, with the "# X Y" comment of where it starts.
function decodePpm(buf) {
  const m = /^P6\n# (\d+) (\d+)\n(\d+) (\d+)\n255\n/.exec(buf.toString('latin1', 0, 64));
  if (!m) throw new Failure('xprobe wrote no picture');
  const [x, y, width, height] = m.slice(1).map(Number);
  return { x, y, width, height, rgb: buf.subarray(m[0].length) };
}

// ---- Processes ----

function run(file, args) {
  return new Promise((resolve) => {
    execFile(file, args.map(String), { encoding: 'buffer', maxBuffer: 256 << 20 }, (err, stdout, stderr) => {
      const code = err ? (typeof err.code === 'number' ? err.code : -1) : 0;
      resolve({ code, stdout, text: stdout.toString().trim(), stderr: stderr.toString() });
    });
  });
}

function which(tool) {
  return (process.env.PATH || '').split(':').some((d) => {
    try {
      fs.accessSync(path.join(d, tool), fs.constants.X_OK);
      return true;
    } catch {
      return false;
    }
  });
}

function executable(file) {
  try {
    fs.accessSync(file, fs.constants.X_OK);
    return true;
  } catch {
    return false;
  }
}

// Polls until fn gives a truthy value; fails with `what` after the limit.
async function until(seconds, what, fn) {
  const end = now() + seconds * 1000;
  for (;;) {
    const got = await fn();
    if (got) return got;
    if (now() >= end) throw new Failure(typeof what === 'function' ? what() : what);
    await pollPause();
  }
}

// ---- The desktop window on X ----

const XDOTOOL_KEYS = { ArrowDown: 'Down', ArrowUp: 'Up', Escape: 'Escape', Enter: 'Return', Backspace: 'BackSpace', Tab: 'Tab' };

class X11 {
  constructor(opts, scenario) {
    this.name = 'x11';
    this.tol = 0; // the window's colours are exact
    this.opts = opts;
    this.scenario = scenario;
    this.children = [];
    this.exit = null;
    this.log = '';
  }

  async start() {
    for (const tool of ['xdotool']) if (!which(tool)) throw new Skip(`${tool} is not installed (scripts/deps.sh test installs it)`);
    for (const k of ['app', 'xprobe', 'glyphprobe']) {
      if (!this.opts[k] || !executable(this.opts[k])) throw new Failure(`--${k} PATH is needed`);
    }
    if (!process.env.DISPLAY) throw new Failure('no DISPLAY: run it under tests/with_xvfb.sh');
    const screen = (await this.probe('screen')).text.replace(' ', 'x');
    const want = this.scenario.screen || '1024x768';
    if (screen !== want) throw new Failure(`the screen is ${screen}, the scenario needs ${want}`);
    this.screen = screen.split('x').map(Number);
    for (const step of this.scenario.setup || []) await this.setup(step);
    const app = spawn(this.opts.app, [], { stdio: ['ignore', 'pipe', 'pipe'] });
    this.app = app;
    const keep = (d) => (this.log = (this.log + d).slice(-4000));
    app.stdout.on('data', keep);
    app.stderr.on('data', keep);
    app.on('exit', (code, signal) => (this.exit = { code, signal }));
    await until(10, 'the window did not appear', async () => this.exit || (await this.geometry()));
    // The first paint: the window colour the program sets at start-up.
    let seen = '';
    await until(10, () => `the window was never painted (${seen})`, async () => {
      if (this.exit) throw new Failure(`the program ended at start: ${JSON.stringify(this.exit)}`);
      const p = (await this.shot()).at(500, 400);
      seen = hex(p);
      return near(p, GREEN, 0);
    });
  }

  async setup(step) {
    if (!step.wm) throw new Failure(`unknown setup step ${JSON.stringify(step)}`);
    if (!which(step.wm)) throw new Skip(`${step.wm} is not installed`);
    this.children.push(spawn(step.wm, [], { stdio: 'ignore' }));
    await until(5, `${step.wm} did not start`, async () => (await this.probe('wm')).code === 0);
  }

  probe(...args) {
    return run(this.opts.xprobe, args);
  }

  async geometry() {
    const r = await this.probe('window', TITLE);
    if (r.code !== 0) return null;
    const [x, y, w, h] = r.text.split(' ').map(Number);
    return { x, y, w, h };
  }

  async shot() {
    const g = await this.geometry();
    if (!g) throw new Failure('the window is not shown');
    const r = await this.probe('shot', g.x, g.y, g.w, g.h);
    if (r.code !== 0) throw new Failure('xprobe could not read the screen');
    const img = decodePpm(r.stdout);
    return new Shot(img.width, img.height, img.rgb, (x, y) => [g.x + x - img.x, g.y + y - img.y]);
  }

  async sync() {
    if ((await this.probe('sync', TITLE)).code !== 0) throw new Failure('the program did not answer');
  }

  async xdotool(...args) {
    const r = await run('xdotool', args);
    if (r.code !== 0) throw new Failure(`xdotool ${args.join(' ')}: ${r.stderr}`);
    await this.sync();
  }

  async click([x, y]) {
    const g = await this.geometry();
    if (!g) throw new Failure('the window is not shown');
    await this.xdotool('mousemove', '--sync', g.x + x, g.y + y, 'click', '1');
  }

  async key(k) {
    if (!XDOTOOL_KEYS[k]) throw new Failure(`no X key for ${k}`);
    await this.xdotool('key', XDOTOOL_KEYS[k]);
  }

  async typeChar(c) {
    await this.xdotool('type', '--delay', '0', '--', c);
  }

  async act(step) {
    if (step.close) await this.probe('close', TITLE);
    else if (step.destroy) await this.probe('destroy', TITLE);
    else if (step.maximize) {
      // A request the window manager missed is asked again.
      const want = step.maximize.join(' ');
      let got;
      for (let i = 0; i < 3 && got !== want; i++) {
        await this.probe('maximize', TITLE);
        try {
          await until(5, '', async () => (got = (await this.probe('outer', TITLE)).text) === want);
        } catch (e) {
          if (!(e instanceof Failure)) throw e;
        }
      }
      if (got !== want) throw new Failure(`maximised: the window with its frame is at ${got}, expected ${want}`);
    } else return false;
    return true;
  }

  async check(c, look) {
    if (c.label) {
      const [x, y] = c.label, g = await this.geometry();
      if (!g) return { ok: false, saw: 'no window' };
      const r = await run(this.opts.glyphprobe, [g.x + x, g.y + y, 16, c.ink, GREEN, c.text]);
      return { ok: r.code === 0, saw: `the cell at (${x},${y}) is not "${c.text}" (${r.text})` };
    }
    if (c.window || c.outer) {
      const want = (c.window || c.outer).join(' ');
      const got = (await this.probe(c.window ? 'window' : 'outer', TITLE)).text;
      return { ok: got === want, saw: `the window${c.outer ? ' with its frame' : ''} is at ${got}, expected ${want}` };
    }
    if (c.box) {
      const n = Number((await this.probe('windows', TITLE)).text);
      return { ok: n === (c.box === 'open' ? 2 : 1), saw: `${n} windows titled ${TITLE}` };
    }
    if (c.boxCentred) {
      const rows = (await this.probe('outers', TITLE)).text.split('\n').filter(Boolean).map((l) => l.split(' '));
      if (rows.length !== 2) return { ok: false, saw: `${rows.length} windows titled ${TITLE}` };
      // The box is the smaller of the two.
      const area = (r) => Number(r[2]) * Number(r[3]);
      const box = rows.reduce((a, b) => (area(a) <= area(b) ? a : b));
      const [x, y, w, h] = box.slice(0, 4).map(Number);
      const dx = 2 * x + w - this.screen[0], dy = 2 * y + h - this.screen[1]; // twice the offset
      const framed = box[4] === 'framed';
      return {
        ok: Math.abs(dx) <= 2 && Math.abs(dy) <= 2 && framed === c.framed,
        saw: `the box, ${box[4]}, stands with its frame at ${x} ${y} ${w} ${h}: ${dx / 2}, ${dy / 2} px from`
          + ` the screen's centre, expected at most 1 px, ${c.framed ? 'framed' : 'bare'}`,
      };
    }
    return null;
  }

  async ends(within) {
    await until(within, 'the program did not end', async () => this.exit);
    if (this.exit.code !== 0) throw new Failure(`the program ended with ${JSON.stringify(this.exit)}`);
    return 'ended';
  }

  async saveStage(file) {
    const s = await this.shot();
    const [x0, y0] = s.place(0, 0);
    const w = Math.min(1024, s.width - x0), h = Math.min(768, s.height - y0);
    const rgb = Buffer.alloc(w * h * 3);
    for (let y = 0; y < h; y++) s.rgb.copy(rgb, y * w * 3, ((y0 + y) * s.width + x0) * 3, ((y0 + y) * s.width + x0 + w) * 3);
    fs.writeFileSync(file, encodePng(w, h, rgb));
  }

  async failureShot(file) {
    const r = await this.probe('shot', 0, 0, this.screen[0], this.screen[1]);
    const img = decodePpm(r.stdout);
    fs.writeFileSync(file, encodePng(img.width, img.height, img.rgb));
  }

  lastWords() {
    return this.log.trim() ? `the program wrote:\n${this.log.trim()}` : '';
  }

  async stop() {
    for (const p of [this.app, ...this.children.reverse()]) {
      if (p && p.exitCode === null && p.signalCode === null) {
        p.kill();
        await new Promise((r) => p.once('exit', r));
      }
    }
  }
}

// ---- The page in a browser ----

// Chromium and Firefox through puppeteer-core (DevTools protocol, WebDriver BiDi).
async function puppeteerDriver(engine, viewport, wasm, touch) {
  let puppeteer;
  try {
    puppeteer = require('puppeteer-core');
  } catch {
    throw new Skip('puppeteer-core is missing: npm ci in tests/e2e (scripts/deps.sh test runs it)');
  }
  const exe = engine === 'chromium' ? '/usr/bin/chromium' : '/usr/bin/firefox-esr';
  if (!executable(exe)) throw new Skip(`${exe} is not installed (scripts/deps.sh test installs it)`);
  const [width, height] = viewport;
  const defaultViewport = { width, height, deviceScaleFactor: 1 };
  // A finger: Chromium emulates a mobile device's screen and touch input
  // (Emulation.setDeviceMetricsOverride, Emulation.setTouchEmulationEnabled)
  // and takes touches as Input.dispatchTouchEvent; Firefox takes WebDriver
  // BiDi's touch actions.
  const shown = touch ? { ...defaultViewport, isMobile: true, hasTouch: true } : defaultViewport;
  let profile = null, browser;
  if (engine === 'chromium') {
    profile = fs.mkdtempSync(path.join(os.tmpdir(), 'hayasa-chromium-'));
    browser = await puppeteer.launch({
      executablePath: exe, headless: true, userDataDir: profile, defaultViewport,
      args: [...CHROMIUM_FLAGS, `--window-size=${width},${height}`],
    });
  } else {
    browser = await puppeteer.launch({ browser: 'firefox', executablePath: exe, headless: true, defaultViewport });
  }
  let page = (await browser.pages())[0];
  if (engine === 'firefox') {
    // Firefox's first tab never has the focus under automation: its
    // elements take the focus without a focus event, so a list would never
    // be entered. A tab of its own has it.
    const first = page;
    page = await browser.newPage();
    await first.close();
  }
  page = page || (await browser.newPage());
  // Firefox leaves its first tab at the window's size.
  await page.setViewport(shown);
  if (!wasm) await page.evaluateOnNewDocument('delete window.WebAssembly;');
  const keys = { Space: ' ' };
  return {
    goto: (url) => page.goto(url, { waitUntil: 'load' }),
    eval: (expr) => page.evaluate(expr),
    screenshot: async () => Buffer.from(await page.screenshot({ type: 'png' })),
    click: (x, y) => page.mouse.click(x, y),
    tap: (x, y) => page.touchscreen.tap(x, y),
    // A finger put down, moved in steps and lifted; it rests at the end, so
    // that the list does not fling on.
    drag: async (x, y0, y1, steps) => {
      await page.touchscreen.touchStart(x, y0);
      for (let i = 1; i <= steps; i++) await page.touchscreen.touchMove(x, y0 + ((y1 - y0) * i) / steps);
      for (let i = 0; i < 3; i++) await page.touchscreen.touchMove(x, y1);
      await page.touchscreen.touchEnd();
    },
    // Chromium scrolls a list under a moving finger; Firefox's synthesized
    // touches reach the page's script but move no scroll position.
    touchScrolls: engine === 'chromium',
    key: (k) => page.keyboard.press(keys[k] || k),
    // A key with modifiers held (Shift, Alt).
    chord: async (mods, k) => {
      for (const m of mods) await page.keyboard.down(m);
      await page.keyboard.press(keys[k] || k);
      for (const m of [...mods].reverse()) await page.keyboard.up(m);
    },
    type: (c) => page.keyboard.type(c),
    wheel: async (x, y, dy) => {
      await page.mouse.move(x, y);
      await page.mouse.wheel({ deltaY: dy });
    },
    resize: (w, h) => page.setViewport({ ...shown, width: w, height: h }),
    // Another tab in front, then this one again.
    hide: async () => {
      const other = await browser.newPage();
      await other.bringToFront();
      await other.close();
      await page.bringToFront();
    },
    closed: async () => page.isClosed(),
    ...(engine === 'chromium' && {
      // Network.emulateNetworkConditions
      offline: (on) => page.setOfflineMode(on),
      installability: async () => {
        const cdp = await page.createCDPSession();
        const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
        await cdp.detach();
        return installabilityErrors;
      },
    }),
    quit: async () => {
      await browser.close().catch(() => {});
      if (profile) fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

// WebKit: MiniBrowser through WebKitWebDriver, over W3C WebDriver's HTTP.
const WEBDRIVER_KEYS = {
  Enter: '\uE007', Escape: '\uE00C', ArrowDown: '\uE015', ArrowUp: '\uE013', ArrowLeft: '\uE012', ArrowRight: '\uE014',
  Backspace: '\uE003', Tab: '\uE004', Home: '\uE011', End: '\uE010', PageUp: '\uE00E', PageDown: '\uE00F',
  Delete: '\uE017', Space: ' ', Shift: '\uE008', Alt: '\uE00A',
};

async function freePort() {
  const server = net.createServer();
  await new Promise((r) => server.listen(0, '127.0.0.1', r));
  const { port } = server.address();
  await new Promise((r) => server.close(r));
  return port;
}

async function webkitDriver(viewport) {
  if (!which('WebKitWebDriver') || !executable(MINIBROWSER)) throw new Skip('WebKitWebDriver or MiniBrowser is not installed');
  if (!process.env.DISPLAY) throw new Failure('no DISPLAY: run it under tests/with_xvfb.sh');
  const port = await freePort();
  const driver = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore' });
  let base = `http://127.0.0.1:${port}`;
  const send = async (method, url, body) => {
    const res = await fetch(base + url, { method, headers: { 'Content-Type': 'application/json' }, body: body && JSON.stringify(body) });
    const got = await res.json();
    if (got.value && got.value.error) throw new Error(`WebDriver ${url}: ${got.value.error}: ${got.value.message}`);
    return got.value;
  };
  const quitDriver = async () => {
    if (driver.exitCode === null && driver.signalCode === null) {
      driver.kill();
      await new Promise((r) => driver.once('exit', r));
    }
  };
  let session;
  try {
    await until(10, 'WebKitWebDriver did not start', async () => (await send('GET', '/status').catch(() => null))?.ready);
    session = await send('POST', '/session', {
      capabilities: {
        alwaysMatch: {
          browserName: 'MiniBrowser',
          'webkitgtk:browserOptions': { binary: MINIBROWSER, args: ['--automation'], useOverlayScrollbars: true },
        },
      },
    });
    base += `/session/${session.sessionId}`;
  } catch (e) {
    await quitDriver();
    throw e;
  }
  const exec = (expr) => send('POST', '/execute/sync', { script: `return (${expr});`, args: [] });
  const actions = (list) => send('POST', '/actions', { actions: list });
  const press = (value) => actions([{ type: 'key', id: 'keyboard', actions: [{ type: 'keyDown', value }, { type: 'keyUp', value }] }]);
  // WebKitGTK's driver turns a touch pointer into the mouse.
  const finger = (list) => actions([{ type: 'pointer', id: 'finger', parameters: { pointerType: 'touch' }, actions: list }]);
  const at = (x, y) => ({ type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport', duration: 0 });
  const quit = async () => {
    await send('DELETE', '').catch(() => {});
    await quitDriver();
  };
  try {
    // The window's size that gives the viewport asked for.
    await send('POST', '/window/rect', { x: 0, y: 0, width: viewport[0], height: viewport[1] });
    const inner = await exec('[window.innerWidth, window.innerHeight]');
    const outer = await send('GET', '/window/rect');
    await send('POST', '/window/rect', { width: outer.width + viewport[0] - inner[0], height: outer.height + viewport[1] - inner[1] });
  } catch (e) {
    await quit();
    throw e;
  }
  return {
    goto: (url) => send('POST', '/url', { url }),
    eval: exec,
    evalAsync: (expr) => send('POST', '/execute/async', {
      script: `var done = arguments[arguments.length - 1]; Promise.resolve(${expr}).then(function (v) { done(v); });`,
      args: [],
    }),
    screenshot: async () => Buffer.from(await send('GET', '/screenshot'), 'base64'),
    click: (x, y) => actions([{
      type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' },
      actions: [
        { type: 'pointerMove', x, y, origin: 'viewport', duration: 0 },
        { type: 'pointerDown', button: 0 },
        { type: 'pointerUp', button: 0 },
      ],
    }]),
    tap: (x, y) => finger([at(x, y), { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }]),
    drag: (x, y0, y1, steps) => finger([at(x, y0), { type: 'pointerDown', button: 0 },
      ...Array.from({ length: steps }, (_, i) => at(x, y0 + ((y1 - y0) * (i + 1)) / steps)), { type: 'pointerUp', button: 0 }]),
    touchScrolls: false,
    key: (k) => press(WEBDRIVER_KEYS[k]),
    chord: (mods, k) => {
      const held = mods.map((m) => WEBDRIVER_KEYS[m]);
      return actions([{
        type: 'key', id: 'keyboard',
        actions: [...held.map((value) => ({ type: 'keyDown', value })), { type: 'keyDown', value: WEBDRIVER_KEYS[k] },
          { type: 'keyUp', value: WEBDRIVER_KEYS[k] }, ...held.reverse().map((value) => ({ type: 'keyUp', value }))],
      }]);
    },
    type: press,
    wheel: (x, y, dy) => actions([{
      type: 'wheel', id: 'wheel',
      actions: [{ type: 'scroll', x: Math.round(x), y: Math.round(y), deltaX: 0, deltaY: dy, origin: 'viewport' }],
    }]),
    resize: async (w, h) => {
      const inner = await exec('[window.innerWidth, window.innerHeight]');
      const outer = await send('GET', '/window/rect');
      await send('POST', '/window/rect', { width: outer.width + w - inner[0], height: outer.height + h - inner[1] });
    },
    // A new tab or window in front, then this one again.
    hide: async () => {
      const mine = await send('GET', '/window');
      const other = await send('POST', '/window/new', { type: 'tab' });
      await send('POST', '/window', { handle: other.handle });
      await send('DELETE', '/window');
      await send('POST', '/window', { handle: mine });
    },
    closed: async () => {
      try {
        return !(await send('GET', '/window/handles')).length;
      } catch (e) {
        if (/no such window|invalid session id/.test(e.message)) return true;
        throw e;
      }
    },
    quit,
  };
}

// The page's folder on 127.0.0.1, on a port of its own.
// A service worker and a manifest are taken only with their own types.
const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.webmanifest': 'application/manifest+json',
  '.png': 'image/png',
};

async function serve(dir, port = 0, inject = '') {
  const server = http.createServer((req, res) => {
    let file = path.join(dir, path.normalize(decodeURIComponent(new URL(req.url, 'http://x').pathname)));
    if (file.endsWith(path.sep)) file = path.join(file, 'index.html');
    if (!file.startsWith(dir + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    if (inject && file.endsWith('.html')) res.end(fs.readFileSync(file, 'utf8').replace('<head>', `<head><script>${inject}</script>`));
    else fs.createReadStream(file).pipe(res);
  });
  // Stopped, it must end its kept-alive connections too, or the browser
  // would go on reaching it.
  const sockets = new Set();
  server.on('connection', (c) => {
    sockets.add(c);
    c.on('close', () => sockets.delete(c));
  });
  server.halt = () => new Promise((r) => {
    server.close(r);
    for (const c of sockets) c.destroy();
  });
  await new Promise((r) => server.listen(port, '127.0.0.1', r));
  return server;
}

const ASSEMBLE = path.join(__dirname, '..', '..', 'web', 'assemble.py');

// The hosted edition rebuilt with a changed text: index.html edited, and the
// manifest, icons and service worker written again by the assembler, whose
// cache name follows the files' contents.
function rebuild(dir, from, to) {
  const index = path.join(dir, 'index.html');
  const page = fs.readFileSync(index, 'utf8');
  if (!page.includes(from)) throw new Failure(`index.html holds no ${from}`);
  fs.writeFileSync(index, page.replace(from, to));
  // Debian's Python, the one the page was assembled with (its fontTools).
  return run('/usr/bin/python3', ['-c', 'import sys; sys.path.insert(0, sys.argv[1]); import assemble;'
    + ' assemble.write_hosted(sys.argv[2], open(sys.argv[2] + "/index.html", encoding="utf-8").read())',
  path.dirname(ASSEMBLE), dir]).then((r) => {
    if (r.code !== 0) throw new Failure(`the assembler did not rebuild: ${r.stderr}`);
  });
}

// axe-core's rules, run in the page. The one finding allowed: the contrast
// of runner 3's magenta label on the window's colour, which the lesson's
// colours fix.
const AXE = "(function () { var r = document.createElement('script'); r.textContent = %s;"
  + ' document.head.appendChild(r); r.remove(); return window.axe.run(document, { resultTypes: ["violations"] }); })()'
  + '.then(function (r) { return JSON.stringify(r.violations.map(function (v) { return { id: v.id, impact: v.impact,'
  + ' nodes: v.nodes.map(function (n) { var e = document.querySelector(n.target[0]), d = n.any[0] && n.any[0].data;'
  + " return { target: n.target.join(' '), text: e && e.textContent, colours: d && d.fgColor ? d.fgColor + ' on ' + d.bgColor : '' }; }) }; })); })";
const ALLOWED = (v, n) => v.id === 'color-contrast' && n.text === '走 者 ３' && n.colours === '#ff00ff on #80ff80';
let axeSource = null;

const STAGE_RECT = "(function () { var r = document.getElementById('stage').getBoundingClientRect();"
  + ' return [r.left, r.top, r.width, r.height, window.innerWidth, window.innerHeight]; })()';

class Browser {
  constructor(engine, opts, scenario) {
    this.name = engine;
    this.tol = PAGE_TOLERANCE;
    this.opts = opts;
    this.scenario = scenario;
    this.viewport = scenario.viewport || [1024, 768];
  }

  async start() {
    if (!this.opts.page) throw new Failure('--page PATH is needed');
    const page = path.resolve(this.opts.page);
    if (!fs.existsSync(page)) throw new Failure(`${page} is missing: scripts/web.sh builds it`);
    let url = `file://${page}`;
    if (this.scenario.serve === 'hosted') {
      // A copy, which a rebuild may change.
      const hosted = path.join(path.dirname(page), 'web');
      if (!fs.existsSync(path.join(hosted, 'index.html'))) throw new Failure(`${hosted} is missing: scripts/web.sh builds it`);
      this.hosted = fs.mkdtempSync(path.join(os.tmpdir(), 'hayasa-hosted-'));
      fs.cpSync(hosted, this.hosted, { recursive: true });
      this.server = await serve(this.hosted);
      url = `http://127.0.0.1:${this.server.address().port}/`;
    } else if (this.scenario.serve) {
      this.server = await serve(path.dirname(page), 0, this.scenario.inject);
      url = `http://127.0.0.1:${this.server.address().port}/${path.basename(page)}`;
    }
    this.url = url;
    const wasm = this.scenario.wasm !== false;
    this.d = this.name === 'webkit' ? await webkitDriver(this.viewport) : await puppeteerDriver(this.name, this.viewport, wasm, this.scenario.touch);
    await this.d.goto(url);
    if (!wasm) {
      await until(15, 'the page did not load', async () => (await this.d.eval('document.readyState')) === 'complete');
      return;
    }
    await this.started();
    let inner;
    await until(5, () => `viewport ${inner}, expected ${this.viewport}`, async () => {
      inner = await this.d.eval('[window.innerWidth, window.innerHeight]');
      return inner.join('x') === this.viewport.join('x');
    });
  }

  async started() {
    await until(15, 'the page did not start', async () => (await this.d.eval('window.hayasaReady === true')) === true);
  }

  js(expr) {
    return this.d.eval(expr);
  }

  async idle() {
    try {
      await (this.d.evalAsync || this.d.eval)(IDLE);
    } catch (e) {
      // お わ る may have closed the page.
      if (!(await this.d.closed())) throw e;
    }
  }

  async geometry() {
    const [left, top, width, height, iw, ih] = await this.js(STAGE_RECT);
    return { left, top, width, height, iw, ih, s: width / 1024 };
  }

  async shot() {
    const g = await this.geometry();
    const img = decodePng(await this.d.screenshot());
    const dpr = img.width / g.iw;
    const shot = new Shot(img.width, img.height, img.rgb, (x, y) => [
      Math.floor((g.left + (x + 0.5) * g.s) * dpr),
      Math.floor((g.top + (y + 0.5) * g.s) * dpr),
    ]);
    shot.geometry = g;
    shot.dpr = dpr;
    return shot;
  }

  async click([x, y]) {
    const g = await this.geometry();
    await this.d.click(Math.floor(g.left + (x + 0.5) * g.s), Math.floor(g.top + (y + 0.5) * g.s));
    await this.idle();
  }

  async key(k) {
    await this.d.key(k);
    await this.idle();
  }

  async typeChar(c) {
    await this.d.type(c);
    await this.idle();
  }

  // The centre of a page element in the viewport.
  async centre(selector) {
    const c = await this.js(`(function (e) { if (!e) return null; var r = e.getBoundingClientRect();`
      + ` return [r.left + r.width / 2, r.top + r.height / 2]; })(document.querySelector(${JSON.stringify(selector)}))`);
    if (!c) throw new Failure(`no element ${selector}`);
    return c.map(Math.floor);
  }

  // A stage pixel, or an element's centre, in the viewport.
  async spot(where) {
    if (typeof where === 'string') return this.centre(where);
    const g = await this.geometry();
    return [Math.floor(g.left + (where[0] + 0.5) * g.s), Math.floor(g.top + (where[1] + 0.5) * g.s)];
  }

  // Where an open list's row stands against the rows shown, in the
  // viewport: its top and bottom, the list's inner top and bottom, the
  // viewport's pixels per stage pixel, and the row's middle.
  rowPlace(list, row) {
    return this.js(`(function (b, o) { var r = o.getBoundingClientRect(), q = b.getBoundingClientRect();`
      + ' var s = q.height / b.offsetHeight, top = q.top + b.clientTop * s;'
      + ` return [r.top, r.bottom, top, top + b.clientHeight * s, s, r.left + r.width / 2]; })`
      + `(document.getElementById('${list}-list'), document.getElementById('${list}-o${row}'))`);
  }

  // Until the list's scroll position has stood still for a few polls.
  async scrollSettles(list) {
    let last = null, still = 0;
    await until(5, `${list}'s rows never stopped scrolling`, async () => {
      const top = await this.js(`document.getElementById('${list}-list').scrollTop`);
      still = top === last ? still + 1 : 0;
      last = top;
      return still >= 3;
    });
  }

  // A finger moves the open list's rows until the row shows whole; where
  // the engine scrolls nothing under a finger, the list is scrolled by script.
  async showRow(list, row) {
    for (let tries = 0; tries < 40; tries++) {
      const [top, bottom, inTop, inBottom, scale, x] = await this.rowPlace(list, row);
      if (top >= inTop - 0.5 && bottom <= inBottom + 0.5) return;
      if (!this.d.touchScrolls) {
        await this.js(`document.getElementById('${list}-list').scrollTop += ${(top < inTop ? top - inTop : bottom - inBottom) / scale}`);
        continue;
      }
      const span = (inBottom - inTop) * 0.6, mid = (inTop + inBottom) / 2;
      const by = Math.max(-span, Math.min(span, top < inTop ? inTop - top + 2 : inBottom - bottom - 2));
      await this.d.drag(Math.floor(x), Math.floor(mid - by / 2), Math.floor(mid + by / 2), 8);
      await this.scrollSettles(list);
    }
    throw new Failure(`${list}'s row ${row} never came into view`);
  }

  async act(step) {
    if (step.press) {
      const [x, y] = await this.centre(step.press);
      await this.d.click(x, y);
    } else if (step.tap) {
      await this.d.tap(...(await this.spot(step.tap)));
    } else if (step.tapRow) {
      const [list, row] = step.tapRow;
      await this.showRow(list, row);
      const [top, bottom, , , , x] = await this.rowPlace(list, row);
      await this.d.tap(Math.floor(x), Math.floor((top + bottom) / 2));
    } else if (step.visit) {
      await this.d.goto(this.url + (typeof step.visit === 'string' ? step.visit : ''));
      await this.started();
    } else if (step.server) {
      const port = this.server.address()?.port || this.port;
      if (step.server === 'stop') {
        this.port = port;
        await this.server.halt();
      } else this.server = await serve(this.hosted, this.port);
    } else if ('offline' in step) {
      if (!this.d.offline) throw new Failure(`${this.name} cannot emulate a network`);
      await this.d.offline(step.offline);
    } else if (step.rebuild) {
      await rebuild(this.hosted, ...step.rebuild);
    } else if (step.swipe) {
      // From a shown row up by some rows' height.
      const [list, row, rows] = step.swipe;
      const [top, bottom, , , , x] = await this.rowPlace(list, row);
      const y = Math.floor((top + bottom) / 2);
      await this.d.drag(Math.floor(x), y, Math.floor(y - rows * (bottom - top)), 10);
      await this.scrollSettles(list);
    } else return false;
    await this.idle();
    return true;
  }

  async check(c, look) {
    if (c.label) {
      const n = (await look.shot()).count(c.label, c.ink, this.tol);
      const spoken = await this.js("document.getElementById('live').textContent");
      return {
        ok: n > 20 && spoken.includes(c.text),
        saw: `${n} pixels of ${c.ink} at (${c.label}); the live region says ${JSON.stringify(spoken)}, expected "${c.text}" in it`,
      };
    }
    if (c.box) {
      const open = await this.js("document.getElementById('msgbox').open");
      return { ok: open === (c.box === 'open'), saw: `the message box is ${open ? 'open' : 'closed'}` };
    }
    if (c.audit) {
      if (!axeSource) {
        try {
          axeSource = fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
        } catch {
          throw new Skip('axe-core is missing: npm ci in tests/e2e (scripts/deps.sh test runs it)');
        }
      }
      const found = JSON.parse(await (this.d.evalAsync || this.d.eval)(AXE.replace('%s', () => JSON.stringify(axeSource))));
      const left = found.map((v) => ({ ...v, nodes: v.nodes.filter((n) => !ALLOWED(v, n)) })).filter((v) => v.nodes.length);
      return {
        ok: left.length === 0,
        saw: left.map((v) => `${v.id} (${v.impact}): ${v.nodes.map((n) => n.target + (n.colours ? ` ${n.colours}` : '')).join(', ')}`).join('; '),
      };
    }
    if (c.installable) {
      if (!this.d.installability) throw new Failure(`${this.name} cannot tell installability`);
      const errors = await this.d.installability();
      return { ok: errors.length === 0, saw: `installability errors: ${JSON.stringify(errors)}` };
    }
    if (c.stageFits) {
      const g = await this.geometry();
      const [w, h] = this.viewport, s = Math.min(w / 1024, h / 768);
      const ok = Math.abs(g.width - 1024 * s) < 1 && Math.abs(g.height - 768 * s) < 1
        && Math.abs(g.left - (w - g.width) / 2) <= 1 && Math.abs(g.top - (h - g.height) / 2) <= 1;
      return { ok, saw: `the stage stands at ${g.left},${g.top} ${g.width}x${g.height} in ${w}x${h}, for a scale of ${s.toFixed(4)}` };
    }
    if (c.margins) {
      const shot = await look.shot(), g = shot.geometry, d = shot.dpr;
      const seen = [];
      if (g.top > 4) seen.push(['top', shot.raw(Math.floor((g.iw / 2) * d), Math.floor(d))]);
      if (g.left > 4) seen.push(['left', shot.raw(Math.floor(d), Math.floor((g.ih / 2) * d))]);
      return {
        ok: seen.every(([, p]) => p && near(p, c.margins, this.tol)),
        saw: seen.map(([side, p]) => `the ${side} margin is ${p && hex(p)}`).join(', ') || 'no margins',
      };
    }
    return null;
  }

  async ends(within) {
    const closing = "!document.getElementById('closing').hidden";
    return until(within, 'the page neither closed nor showed its closing screen', async () => {
      if (await this.d.closed()) return 'closed';
      try {
        return (await this.js(closing)) && 'closing';
      } catch (e) {
        if (await this.d.closed()) return 'closed';
        throw e;
      }
    });
  }

  async saveStage(file) {
    fs.writeFileSync(file, await this.d.screenshot());
  }

  async failureShot(file) {
    await this.saveStage(file);
  }

  lastWords() {
    return '';
  }

  async stop() {
    if (this.d) await this.d.quit();
    if (this.server) await this.server.halt();
    if (this.hosted) fs.rmSync(this.hosted, { recursive: true, force: true });
  }
}

// ---- Playing a scenario ----

function applies(step, backend) {
  if (!step.only) return true;
  const only = [].concat(step.only).flatMap((b) => (b === 'page' ? PAGE : [b]));
  return only.includes(backend);
}

function describe(step) {
  if (step.what) return step.what;
  const { only, within, steady, ...rest } = step;
  return JSON.stringify(rest);
}

class Player {
  constructor(backend) {
    this.b = backend;
    this.kept = {};
  }

  value(v) {
    return v && typeof v === 'object' && 'kept' in v ? this.kept[v.kept] : v;
  }

  // One look at the screen, taken once for all the checks that need it.
  look() {
    let shot = null;
    return { shot: () => (shot = shot || this.b.shot()) };
  }

  async holds(c, look) {
    if (c.all) {
      const rs = [];
      for (const part of c.all) rs.push(await this.holds(part, look));
      return { ok: rs.every((r) => r.ok), saw: rs.map((r) => r.saw).join('; ') };
    }
    if (c.px) {
      const p = (await look.shot()).at(...c.px);
      const ok = c.is ? near(p, c.is, this.b.tol) : !near(p, c.not, this.b.tol);
      return { ok, saw: `pixel (${c.px}) is ${hex(p)}, expected ${c.is ? '' : 'other than '}${c.is || c.not}` };
    }
    if (c.count) {
      const n = (await look.shot()).count(c.count, c.of, c.tol ?? this.b.tol);
      const is = this.value(c.is), not = this.value(c.not), above = this.value(c.above), below = this.value(c.below);
      const ok = (is === undefined || n === is) && (not === undefined || n !== not)
        && (above === undefined || n > above) && (below === undefined || n < below);
      if (ok && c.keep) this.kept[c.keep] = n;
      const want = [is !== undefined && `${is}`, not !== undefined && `other than ${not}`, above !== undefined && `more than ${above}`,
        below !== undefined && `fewer than ${below}`].filter(Boolean).join(' and ');
      return { ok, saw: `${n} pixels of ${c.of} in (${c.count}), expected ${want}` };
    }
    if (c.js) {
      const v = await this.b.js(c.js);
      const is = this.value(c.is);
      const ok = ('is' in c ? v === is : true) && ('has' in c ? String(v).includes(c.has) : true)
        && ('hasNot' in c ? !String(v).includes(c.hasNot) : true) && ('like' in c ? new RegExp(c.like).test(String(v)) : true)
        && ('above' in c ? v > this.value(c.above) : true);
      if (ok && c.keep) this.kept[c.keep] = v;
      const want = 'is' in c ? JSON.stringify(is)
        : 'has' in c ? `with ${c.has}` : 'hasNot' in c ? `without ${c.hasNot}`
          : 'above' in c ? `above ${this.value(c.above)}` : `like ${c.like}`;
      return { ok, saw: `${c.js} is ${JSON.stringify(v)}, expected ${want}` };
    }
    const r = await this.b.check(c, look);
    if (!r) throw new Failure(`${this.b.name} cannot check ${describe(c)}`);
    return r;
  }

  async check(step) {
    const what = describe(step);
    if (step.steady !== undefined) {
      const end = now() + step.steady * 1000;
      for (;;) {
        const r = await this.holds(step, this.look());
        if (!r.ok) throw new Failure(`${what}: ${r.saw}`);
        if (now() >= end) return;
        await pollPause();
      }
    }
    let last;
    try {
      await until(step.within ?? DEFAULT_WITHIN, () => `${what}: ${last.saw}`, async () => (last = await this.holds(step, this.look())).ok);
    } catch (e) {
      if (e instanceof Failure && last) e.message = `${what}: ${last.saw}`;
      throw e;
    }
  }

  async typeText(text) {
    for (const c of text) await this.b.typeChar(c);
  }

  // Plays the steps; returns early where a page closed itself.
  async play(steps) {
    for (const [i, step] of steps.entries()) {
      if (!applies(step, this.b.name)) continue;
      this.at = `step ${i + 1} (${describe(step)})`;
      const began = now();
      if (step.click) await this.b.click(step.click);
      else if (step.enter) {
        await this.b.click(step.enter);
        await this.typeText(step.text);
        await this.b.key('Escape');
      } else if (step.type) await this.typeText(step.type);
      else if (step.keys) for (const k of step.keys) await this.b.key(k);
      else if (step.shot) await this.b.saveStage(step.shot);
      else if (step.ends) {
        if ((await this.b.ends(step.within ?? 15)) === 'closed') {
          console.log('the page closed itself');
          return;
        }
      } else if (!(await this.b.act(step))) await this.check(step);
      if (process.env.HAYASA_E2E_TRACE) console.log(`${this.at}: ${now() - began} ms`);
    }
  }
}

function usage() {
  console.error('usage: run.js x11|chromium|firefox|webkit SCENARIO [--app PATH --xprobe PATH --glyphprobe PATH | --page PATH]\n'
    + '       run.js --list x11|chromium|firefox|webkit');
  return 2;
}

const runsOn = (s, backend) => (s.on || BACKENDS).includes(backend);

async function main(argv) {
  if (argv[0] === '--list') {
    if (!BACKENDS.includes(argv[1])) return usage();
    // The ctest name of each case, and the X screen it runs on.
    for (const [name, s] of Object.entries(scenarios)) {
      if (s.manual || !runsOn(s, argv[1])) continue;
      const screen = argv[1] === 'x11' ? s.screen || '1024x768' : argv[1] === 'webkit' ? WEBKIT_SCREEN : '-';
      console.log(`${argv[1] === 'x11' ? s.desktopName || name : name} ${screen}`);
    }
    return 0;
  }
  const [backendName, name, ...rest] = argv;
  const opts = {};
  for (let i = 0; i < rest.length; i += 2) {
    if (!rest[i].startsWith('--') || rest[i + 1] === undefined) return usage();
    opts[rest[i].slice(2)] = rest[i + 1];
  }
  const entry = Object.entries(scenarios).find(([n, s]) => n === name || s.desktopName === name);
  if (!BACKENDS.includes(backendName) || !entry || !runsOn(entry[1], backendName)) return usage();
  const [scenarioName, scenario] = entry;
  const b = backendName === 'x11' ? new X11(opts, scenario) : new Browser(backendName, opts, scenario);
  const player = new Player(b);
  // A time limit's TERM still ends the browser's driver and the program.
  for (const signal of ['SIGTERM', 'SIGINT']) {
    process.once(signal, () => b.stop().finally(() => process.exit(1)));
  }
  const tag = backendName === 'x11' ? `desktop-${scenario.desktopName || scenarioName}` : `web-${backendName}-${scenarioName}`;
  try {
    player.at = 'start';
    await b.start();
    await player.play(scenario.steps);
    console.log(`PASS: ${backendName} ${scenarioName}`);
    return 0;
  } catch (e) {
    if (e instanceof Skip) {
      console.log(`SKIP: ${e.message}`);
      return 77;
    }
    console.log(`FAIL: ${backendName} ${scenarioName}, ${player.at}: ${e instanceof Failure ? e.message : e.stack}`);
    const words = b.lastWords();
    if (words) console.log(words);
    const file = path.resolve(`${tag}-failure.png`);
    try {
      await b.failureShot(file);
      console.log(`screenshot: ${file}`);
    } catch {
      // nothing left to take a picture of
    }
    return 1;
  } finally {
    await b.stop().catch((e) => console.log(`stopping: ${e.message}`));
  }
}

module.exports = { Browser, Failure, Skip, until, WEBKIT_SCREEN };

// Exits once what was printed has reached a pipe too.
if (require.main === module) main(process.argv.slice(2)).then((code) => process.stdout.write('', () => process.exit(code)));
