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

const path = require('path');
const { scenarios, PAGE } = require('./scenarios');
const { Failure, Skip, now, pollPause, until } = require('./common');
const { hex, near } = require('./pixels');
const { X11 } = require('./x11');
const { Browser } = require('./browser');
const { WEBKIT_SCREEN } = require('./drivers');

const BACKENDS = ['x11', ...PAGE];
const DEFAULT_WITHIN = 5;

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
    return v && typeof v === 'object' && 'kept' in v ? this.kept[v.kept] + (v.plus || 0) : v;
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
    const r = await this.b.check(c, look, (v) => this.value(v));
    if (!r) throw new Failure(`${this.b.name} cannot check ${describe(c)}`);
    if (r.ok && c.keep && 'kept' in r) this.kept[c.keep] = r.kept;
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

module.exports = { Player };

// Exits once what was printed has reached a pipe too.
if (require.main === module) main(process.argv.slice(2)).then((code) => process.stdout.write('', () => process.exit(code)));
