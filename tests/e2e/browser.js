// The page in a browser, as the player and random.js see it: started from
// a file or a server, its stage's pixels, real input, and the checks only a
// page can answer.
'use strict';

const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { Failure, Skip, run, until } = require('./common');
const { hex, near, Shot, decodePng } = require('./pixels');
const { puppeteerDriver, webkitDriver } = require('./drivers');

// Resolves once the page has handled every input sent to it.
const IDLE = 'window.hayasaTest && window.hayasaTest.idle ? window.hayasaTest.idle()'
  + ' : new Promise(r => requestAnimationFrame(() => setTimeout(r, 0)))';
// Anti-aliasing and colour management move a browser's pixels a little.
const PAGE_TOLERANCE = 12;

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

// An element's rectangle in the viewport. WebKit gives elements inside the
// zoomed stage their rectangles divided by the zoom, from the zoomed box's
// own rectangle, also divided; Chromium and Firefox give them as shown.
// Measured against the stage's box outside the zoom, both come out as shown.
const RECT_OF = "function (e) { var r = e.getBoundingClientRect(), z = document.getElementById('scaled');"
  + ' if (!z || !z.contains(e)) return { left: r.left, top: r.top, width: r.width, height: r.height,'
  + ' right: r.right, bottom: r.bottom };'
  + " var q = z.getBoundingClientRect(), st = document.getElementById('stage').getBoundingClientRect(),"
  + ' k = st.width / q.width, left = st.left + (r.left - q.left) * k, top = st.top + (r.top - q.top) * k;'
  + ' return { left: left, top: top, width: r.width * k, height: r.height * k, right: left + r.width * k,'
  + ' bottom: top + r.height * k }; }';

const STAGE_RECT = "(function () { var r = document.getElementById('stage').getBoundingClientRect();"
  + ' return [r.left, r.top, r.width, r.height, window.innerWidth, window.innerHeight]; })()';

// The caption's colour of よ～い、ドン！, as the page computes it.
const CAPTION_INK = "getComputedStyle(document.querySelector('#RedyGoBtn .caption')).color.match(/\\d+/g).slice(0, 3).map(Number)";

// How sharp a text is: among the edge pixels of the caption drawn in the
// stage box [x, y, w, h] (inset by two stage pixels and one more), the share
// of half-tones. A pixel's ink is how far its mean of R, G, B has gone from
// its row's most frequent value (the face) towards the caption's colour; a
// text pixel has ink >= 0.1, a solid one > 0.9; an edge pixel is a text
// pixel beside one that is not solid. Text drawn at the device's resolution
// has edges a pixel wide; text drawn small and stretched spreads them, so
// more of them are half-tones.
function halfToneShare(shot, colour, [x, y, w, h]) {
  const g = shot.geometry, d = shot.dpr, text = (colour[0] + colour[1] + colour[2]) / 3;
  const inset = Math.ceil(2 * g.s * d) + 1;
  const x0 = Math.ceil((g.left + x * g.s) * d) + inset, y0 = Math.ceil((g.top + y * g.s) * d) + inset;
  const x1 = Math.floor((g.left + (x + w) * g.s) * d) - inset, y1 = Math.floor((g.top + (y + h) * g.s) * d) - inset;
  const ink = [];
  for (let Y = y0; Y < y1; Y++) {
    const row = [];
    for (let X = x0; X < x1; X++) {
      const p = shot.raw(X, Y);
      row.push((p[0] + p[1] + p[2]) / 3);
    }
    const counts = new Map();
    for (const v of row) counts.set(Math.round(v), (counts.get(Math.round(v)) || 0) + 1);
    const face = [...counts.entries()].reduce((a, b) => (b[1] > a[1] ? b : a))[0];
    ink.push(row.map((v) => Math.min(1, Math.max(0, (face - v) / (face - text)))));
  }
  let edge = 0, half = 0;
  const at = (j, i) => (ink[j] && ink[j][i] !== undefined ? ink[j][i] : 0);
  ink.forEach((row, j) => row.forEach((v, i) => {
    if (v < 0.1 || [at(j - 1, i), at(j + 1, i), at(j, i - 1), at(j, i + 1)].every((n) => n > 0.9)) return;
    edge++;
    if (v <= 0.9) half++;
  }));
  return edge > 200 ? half / edge : null;
}

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
    const c = await this.js(`(function (e) { if (!e) return null; var r = (${RECT_OF})(e);`
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
    return this.js(`(function (b, o) { var rectOf = ${RECT_OF}, r = rectOf(o), q = rectOf(b);`
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

  // A finger moves the open list's rows until most of the row shows, as a
  // finger needs; where the engine scrolls nothing under a finger, the list
  // is scrolled by script. A finger that moves less than a few pixels taps,
  // so a move is never shorter than a finger's slop.
  async showRow(list, row) {
    for (let tries = 0; tries < 40; tries++) {
      const [top, bottom, inTop, inBottom, scale, x] = await this.rowPlace(list, row);
      if (Math.min(bottom, inBottom) - Math.max(top, inTop) >= 0.75 * (bottom - top)) return;
      if (!this.d.touchScrolls) {
        await this.js(`document.getElementById('${list}-list').scrollTop += ${(top < inTop ? top - inTop : bottom - inBottom) / scale}`);
        continue;
      }
      const span = (inBottom - inTop) * 0.6, mid = (inTop + inBottom) / 2;
      const need = top < inTop ? inTop - top + 2 : inBottom - bottom - 2;
      const by = Math.sign(need) * Math.min(span, Math.max(24, Math.abs(need)));
      await this.d.drag(Math.floor(x), Math.floor(mid - by / 2), Math.floor(mid + by / 2), 8);
      await this.scrollSettles(list);
    }
    throw new Failure(`${list}'s row ${row} never came into view`);
  }

  // The middle of the part of a row the open list shows.
  async rowSpot(list, row) {
    const [top, bottom, inTop, inBottom, , x] = await this.rowPlace(list, row);
    return [Math.floor(x), Math.floor((Math.max(top, inTop) + Math.min(bottom, inBottom)) / 2)];
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
      await this.d.tap(...(await this.rowSpot(list, row)));
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
    } else if (step.resize) {
      // The window made another size with the page kept.
      const [w, h] = step.resize;
      await this.d.resize(w, h);
      await until(5, `the viewport never became ${w}x${h}`, async () => (await this.js('innerWidth + "x" + innerHeight')) === `${w}x${h}`);
      this.viewport = step.resize;
    } else if (step.snap) {
      (this.snaps = this.snaps || {})[step.snap] = await this.stagePixels();
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

  async check(c, look, value) {
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
    if (c.halfTones) {
      const share = halfToneShare(await look.shot(), await this.js(CAPTION_INK), c.halfTones);
      const most = value(c.atMost);
      return {
        ok: share !== null && !(share > most),
        kept: share,
        saw: share === null ? 'too few edge pixels to measure' : `${share.toFixed(3)} of the caption's edge pixels are half-tones, expected at most ${most}`,
      };
    }
    if (c.sameAs) {
      const was = this.snaps && this.snaps[c.sameAs], is = await this.stagePixels();
      if (!was) throw new Failure(`no picture ${c.sameAs} was taken`);
      if (was.key !== is.key) return { ok: false, saw: `the stage stands at ${is.key}, it stood at ${was.key}` };
      let differ = 0, box = null;
      for (let i = 0; i < is.rgb.length; i += 3) {
        if ([0, 1, 2].every((k) => Math.abs(is.rgb[i + k] - was.rgb[i + k]) <= (c.tol || 0))) continue;
        differ++;
        const x = (i / 3) % is.w, y = Math.floor(i / 3 / is.w);
        box = box ? [Math.min(box[0], x), Math.min(box[1], y), Math.max(box[2], x), Math.max(box[3], y)] : [x, y, x, y];
      }
      return {
        ok: differ === 0,
        saw: `${differ} of the stage's ${is.rgb.length / 3} device pixels differ from ${c.sameAs}, within (${box}) of the stage`,
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

  // The stage's device pixels, and where they stand.
  async stagePixels() {
    const shot = await this.shot(), g = shot.geometry, d = shot.dpr;
    const x0 = Math.ceil(g.left * d), y0 = Math.ceil(g.top * d);
    const w = Math.floor((g.left + g.width) * d) - x0, h = Math.floor((g.top + g.height) * d) - y0;
    const rgb = Buffer.alloc(w * h * 3);
    for (let y = 0; y < h; y++) shot.rgb.copy(rgb, y * w * 3, ((y0 + y) * shot.width + x0) * 3, ((y0 + y) * shot.width + x0 + w) * 3);
    return { key: `${x0},${y0} ${w}x${h}`, w, rgb };
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

module.exports = { Browser, RECT_OF, serve };
