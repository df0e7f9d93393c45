// What every part of the end-to-end runner shares: its two outcomes besides
// a pass, running a tool, and polling until something holds.
'use strict';

const fs = require('fs');
const path = require('path');
const { execFile } = require('child_process');

class Failure extends Error {}
class Skip extends Error {}

const POLL_MS = 50;

const now = () => Date.now();
const pollPause = () => new Promise((r) => setTimeout(r, POLL_MS));

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

module.exports = { Failure, Skip, now, pollPause, run, which, executable, until };
