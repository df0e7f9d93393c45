// The browsers' drivers, one interface for all three engines: go to an
// address, evaluate, screenshot, mouse, finger, keys, wheel, resize, hide.
'use strict';

const fs = require('fs');
const net = require('net');
const os = require('os');
const path = require('path');
const { spawn } = require('child_process');
const { Skip, Failure, which, executable, until } = require('./common');

const MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
// WebKit has no headless mode: its window, toolbar and the largest viewport
// fit on this screen.
const WEBKIT_SCREEN = '2200x1400';
const CHROMIUM_FLAGS = [
  '--headless=new', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run', '--force-device-scale-factor=1',
];

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

module.exports = { puppeteerDriver, webkitDriver, WEBKIT_SCREEN, CHROMIUM_FLAGS };
