// Screenshots as RGB pixels: the browsers' PNGs, xprobe's PPM, and a PNG
// written for a failure or a screenshot step.
'use strict';

const zlib = require('zlib');
const { Failure } = require('./common');

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

module.exports = { hex, near, Shot, decodePng, encodePng, decodePpm };
