// The desktop window on X: started, shown, clicked and typed into with
// xdotool, read with xprobe and glyphprobe.
'use strict';

const fs = require('fs');
const { spawn } = require('child_process');
const { TITLE, GREEN } = require('./scenarios');
const { Failure, Skip, run, which, executable, until } = require('./common');
const { hex, near, Shot, encodePng, decodePpm } = require('./pixels');

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
    if (step.close || step.destroy) {
      // A request that reached no window would look like one the program ignored.
      const what = step.close ? 'close' : 'destroy';
      if ((await this.probe(what, TITLE)).code !== 0) throw new Failure(`xprobe ${what}: no window titled ${TITLE}`);
    }
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

module.exports = { X11 };
