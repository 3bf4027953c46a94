#!/usr/bin/env node
// Renders the map window's world picture (540 x 341, 16 colours, 4 bits per
// pixel BMP or PNG) from Natural Earth 1:110m land and country outlines, at
// 1x or at a whole-number scale for high-resolution screens.
//
// Land goes through the same projection the program uses for its station
// points, x = 20 + trunc(mapLon * 499 / 360), y = 45 + trunc(mapColat * 249 / 180),
// so a station's point lands on its coast. The graticule uses the fixed pixel
// columns and rows the map window is laid out with.
//
// At scale S the picture is S times as wide and high: land is sampled S times
// as finely, coastlines, borders and the graticule stay one device pixel thin
// so they are sharp, and the frame and the labels keep their logical size.
//
// Usage: node render.js [--scale S] OUTPUT.bmp|OUTPUT.png
"use strict";

const fs = require("fs");
const zlib = require("zlib");
const topojson = require("topojson-client");
const world = require("world-atlas/countries-110m.json");

function parseArguments(argv) {
  let scale = 1;
  let output = null;
  for (let i = 0; i < argv.length; i++) {
    if (argv[i] === "--scale" && i + 1 < argv.length) {
      scale = Number(argv[++i]);
    } else if (!output && !argv[i].startsWith("--")) {
      output = argv[i];
    } else {
      return null;
    }
  }
  if (!output || !Number.isInteger(scale) || scale < 1 || scale > 8) return null;
  if (!/\.(bmp|png)$/i.test(output)) return null;
  return { scale, output };
}

const ARGS = parseArguments(process.argv.slice(2));
if (!ARGS) {
  console.error("usage: node render.js [--scale S] OUTPUT.bmp|OUTPUT.png   (S a whole number 1..8)");
  process.exit(2);
}
const SCALE = ARGS.scale;

// Logical size (the map window's layout); the picture is SCALE times that.
const LOGICAL_WIDTH = 540;
const LOGICAL_HEIGHT = 341;
const WIDTH = LOGICAL_WIDTH * SCALE;
const HEIGHT = LOGICAL_HEIGHT * SCALE;

// The standard 16-colour palette, in the order of its indices.
const PALETTE = [
  [0, 0, 0], [128, 0, 0], [0, 128, 0], [128, 128, 0],
  [0, 0, 128], [128, 0, 128], [0, 128, 128], [192, 192, 192],
  [128, 128, 128], [255, 0, 0], [0, 255, 0], [255, 255, 0],
  [0, 0, 255], [255, 0, 255], [0, 255, 255], [255, 255, 255],
];
const BLACK = 0;
const YELLOW = 11;
const WHITE = 15;

// The projection's rectangle in logical pixels: x 20..519, y 45..294.
const LOGICAL_MAP_LEFT = 20;
const LOGICAL_MAP_TOP = 45;
const MAP_LEFT = LOGICAL_MAP_LEFT * SCALE;
const MAP_TOP = LOGICAL_MAP_TOP * SCALE;
const MAP_RIGHT = 520 * SCALE;   // exclusive
const MAP_BOTTOM = 295 * SCALE;  // exclusive

const MERIDIAN_COLUMNS = [21, 63, 104, 146, 187, 229, 270, 311, 353, 394, 436, 477, 519];
const PARALLEL_ROWS = [46, 88, 129, 170, 212, 253, 295];

// Continuous pixel coordinates; the pixel that holds a point is their floor.
function projectX(lon) { return SCALE * (LOGICAL_MAP_LEFT + ((180 + lon) * 499) / 360); }
function projectY(lat) { return SCALE * (LOGICAL_MAP_TOP + ((90 - lat) * 249) / 180); }

// The device pixel of a thin line drawn in logical pixel p: the first of its
// SCALE pixels, so at 1x it is p itself.
function thinLine(p) { return p * SCALE; }

const pixels = new Uint8Array(WIDTH * HEIGHT).fill(WHITE);

function setPixel(x, y, colour) {
  if (x < 0 || y < 0 || x >= WIDTH || y >= HEIGHT) return;
  pixels[y * WIDTH + x] = colour;
}

function setMapPixel(x, y, colour) {
  if (x < MAP_LEFT || y < MAP_TOP || x >= MAP_RIGHT || y >= MAP_BOTTOM) return;
  pixels[y * WIDTH + x] = colour;
}

// Rings of Natural Earth are cut at the antimeridian, but the topology may
// still join a ring across it (a jump of almost 360 degrees). Unwrap such
// rings into one continuous run of longitudes; a ring around a pole (it
// comes back shifted by 360) is closed along the pole's edge of the map.
function unwrapRing(ring) {
  const out = [];
  let shift = 0;
  for (let i = 0; i < ring.length; i++) {
    let [lon, lat] = ring[i];
    if (i > 0) {
      const previous = ring[i - 1][0];
      if (lon - previous > 180) shift -= 360;
      else if (previous - lon > 180) shift += 360;
    }
    out.push([lon + shift, lat]);
  }
  const drift = out[out.length - 1][0] - out[0][0];
  if (Math.abs(drift) > 180) {
    const poleLat = out.reduce((sum, p) => sum + p[1], 0) < 0 ? -90 : 90;
    out.push([out[out.length - 1][0], poleLat]);
    out.push([out[0][0], poleLat]);
    out.push(out[0]);
  }
  return out;
}

// Even-odd scanline fill of a set of rings (outer rings and holes), sampling
// each pixel at its centre, drawn at the ring's position and one turn of the
// globe either side so unwrapped rings show on both edges.
function fillRings(rings, colour) {
  const edges = [];
  for (const ring of rings) {
    const points = unwrapRing(ring);
    for (let i = 1; i < points.length; i++) {
      edges.push([points[i - 1], points[i]]);
    }
  }
  for (const offset of [-360, 0, 360]) {
    for (let row = MAP_TOP; row < MAP_BOTTOM; row++) {
      const y = row + 0.5;
      const crossings = [];
      for (const [a, b] of edges) {
        const ya = projectY(a[1]);
        const yb = projectY(b[1]);
        if ((ya <= y && yb > y) || (yb <= y && ya > y)) {
          const xa = projectX(a[0] + offset);
          const xb = projectX(b[0] + offset);
          crossings.push(xa + ((y - ya) * (xb - xa)) / (yb - ya));
        }
      }
      crossings.sort((p, q) => p - q);
      for (let k = 0; k + 1 < crossings.length; k += 2) {
        const first = Math.ceil(crossings[k] - 0.5);
        const last = Math.floor(crossings[k + 1] - 0.5);
        for (let x = first; x <= last; x++) setMapPixel(x, row, colour);
      }
    }
  }
}

// A line between two geographic points, stepped finely enough that every
// pixel it passes through is set.
function strokeSegment(a, b, colour) {
  const xa = projectX(a[0]);
  const ya = projectY(a[1]);
  const xb = projectX(b[0]);
  const yb = projectY(b[1]);
  const steps = Math.max(1, Math.ceil(Math.max(Math.abs(xb - xa), Math.abs(yb - ya)) * 4));
  for (let s = 0; s <= steps; s++) {
    const t = s / steps;
    setMapPixel(Math.floor(xa + (xb - xa) * t), Math.floor(ya + (yb - ya) * t), colour);
  }
}

function strokeLines(lines, colour) {
  for (const line of lines) {
    for (let i = 1; i < line.length; i++) {
      // A jump across the antimeridian is no line on the map.
      if (Math.abs(line[i][0] - line[i - 1][0]) > 180) continue;
      strokeSegment(line[i - 1], line[i], colour);
    }
  }
}

function polygonsOf(geometry) {
  if (geometry.type === "Polygon") return [geometry.coordinates];
  if (geometry.type === "MultiPolygon") return geometry.coordinates;
  return [];
}

// A tiny 3 x 5 font for the grid labels: each glyph is five rows of three bits.
const GLYPHS = {
  "0": ["111", "101", "101", "101", "111"],
  "1": ["010", "110", "010", "010", "111"],
  "2": ["111", "001", "111", "100", "111"],
  "3": ["111", "001", "111", "001", "111"],
  "4": ["101", "101", "111", "001", "001"],
  "5": ["111", "100", "111", "001", "111"],
  "6": ["111", "100", "111", "101", "111"],
  "7": ["111", "001", "001", "010", "010"],
  "8": ["111", "101", "111", "101", "111"],
  "9": ["111", "101", "111", "001", "111"],
  "N": ["101", "111", "111", "111", "101"],
  "S": ["011", "100", "010", "001", "110"],
  "E": ["111", "100", "110", "100", "111"],
  "W": ["101", "101", "111", "111", "101"],
};
const GLYPH_ADVANCE = 4;
const GLYPH_HEIGHT = 5;

function textWidth(text) { return text.length * GLYPH_ADVANCE - 1; }

// A logical pixel: SCALE x SCALE device pixels.
function setBlock(x, y, colour) {
  for (let dy = 0; dy < SCALE; dy++) {
    for (let dx = 0; dx < SCALE; dx++) setPixel(x * SCALE + dx, y * SCALE + dy, colour);
  }
}

// Text in logical pixels, so labels keep their size and place at any scale.
function drawText(left, top, text, colour) {
  for (let c = 0; c < text.length; c++) {
    const glyph = GLYPHS[text[c]];
    for (let row = 0; row < GLYPH_HEIGHT; row++) {
      for (let col = 0; col < 3; col++) {
        if (glyph[row][col] === "1") setBlock(left + c * GLYPH_ADVANCE + col, top + row, colour);
      }
    }
  }
}

function render() {
  const land = topojson.feature(world, world.objects.land);
  for (const feature of land.features) {
    for (const polygon of polygonsOf(feature.geometry)) fillRings(polygon, YELLOW);
  }

  // Graticule every 30 degrees, under the outlines.
  const firstRow = thinLine(PARALLEL_ROWS[0]);
  const lastRow = thinLine(PARALLEL_ROWS[PARALLEL_ROWS.length - 1]);
  const firstColumn = thinLine(MERIDIAN_COLUMNS[0]);
  const lastColumn = thinLine(MERIDIAN_COLUMNS[MERIDIAN_COLUMNS.length - 1]);
  for (const column of MERIDIAN_COLUMNS) {
    for (let y = firstRow; y <= lastRow; y++) setPixel(thinLine(column), y, BLACK);
  }
  for (const row of PARALLEL_ROWS) {
    for (let x = firstColumn; x <= lastColumn; x++) setPixel(x, thinLine(row), BLACK);
  }

  const coastlines = topojson.mesh(world, world.objects.land);
  const borders = topojson.mesh(world, world.objects.countries, (a, b) => a !== b);
  strokeLines(coastlines.coordinates, BLACK);
  strokeLines(borders.coordinates, BLACK);

  // Longitude labels every 60 degrees above the grid.
  const longitudeLabels = ["180W", "120W", "60W", "0", "60E", "120E", "180E"];
  longitudeLabels.forEach((label, i) => {
    const x = MERIDIAN_COLUMNS[i * 2];
    drawText(x - Math.floor(textWidth(label) / 2), PARALLEL_ROWS[0] - 3 - GLYPH_HEIGHT, label, BLACK);
  });
  // Latitude labels every 30 degrees right of the grid.
  const latitudeLabels = ["90N", "60N", "30N", "0", "30S", "60S", "90S"];
  latitudeLabels.forEach((label, i) => {
    const y = PARALLEL_ROWS[i];
    drawText(MERIDIAN_COLUMNS[MERIDIAN_COLUMNS.length - 1] + 4, y - Math.floor(GLYPH_HEIGHT / 2), label, BLACK);
  });

  // A border of one logical pixel around the whole picture.
  for (let x = 0; x < LOGICAL_WIDTH; x++) {
    setBlock(x, 0, BLACK);
    setBlock(x, LOGICAL_HEIGHT - 1, BLACK);
  }
  for (let y = 0; y < LOGICAL_HEIGHT; y++) {
    setBlock(0, y, BLACK);
    setBlock(LOGICAL_WIDTH - 1, y, BLACK);
  }
}

// 4 bits per pixel, bottom-up rows padded to 32 bits, 16-entry palette.
function encodeBmp() {
  const stride = Math.ceil((WIDTH * 4) / 32) * 4;
  const paletteSize = PALETTE.length * 4;
  const offset = 14 + 40 + paletteSize;
  const imageSize = stride * HEIGHT;
  const buffer = Buffer.alloc(offset + imageSize);
  buffer.write("BM", 0, "ascii");
  buffer.writeUInt32LE(offset + imageSize, 2);
  buffer.writeUInt32LE(offset, 10);
  buffer.writeUInt32LE(40, 14);
  buffer.writeInt32LE(WIDTH, 18);
  buffer.writeInt32LE(HEIGHT, 22);
  buffer.writeUInt16LE(1, 26);
  buffer.writeUInt16LE(4, 28);
  buffer.writeUInt32LE(0, 30);  // no compression
  buffer.writeUInt32LE(imageSize, 34);
  buffer.writeInt32LE(3780, 38);  // 96 dots per inch
  buffer.writeInt32LE(3780, 42);
  buffer.writeUInt32LE(16, 46);
  buffer.writeUInt32LE(16, 50);
  PALETTE.forEach(([r, g, b], i) => {
    const at = 54 + i * 4;
    buffer[at] = b;
    buffer[at + 1] = g;
    buffer[at + 2] = r;
    buffer[at + 3] = 0;
  });
  for (let y = 0; y < HEIGHT; y++) {
    const rowStart = offset + (HEIGHT - 1 - y) * stride;
    for (let x = 0; x < WIDTH; x += 2) {
      const high = pixels[y * WIDTH + x];
      const low = x + 1 < WIDTH ? pixels[y * WIDTH + x + 1] : 0;
      buffer[rowStart + x / 2] = (high << 4) | low;
    }
  }
  return buffer;
}

const CRC_TABLE = (() => {
  const table = new Uint32Array(256);
  for (let n = 0; n < 256; n++) {
    let c = n;
    for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    table[n] = c >>> 0;
  }
  return table;
})();

function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes) c = CRC_TABLE[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function pngChunk(type, data) {
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length, 0);
  const body = Buffer.concat([Buffer.from(type, "ascii"), data]);
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(body), 0);
  return Buffer.concat([length, body, crc]);
}

// 4 bits per pixel with the same 16-entry palette, top-down rows, no filter;
// no time stamp, so the file is the same on every run.
function encodePng() {
  const header = Buffer.alloc(13);
  header.writeUInt32BE(WIDTH, 0);
  header.writeUInt32BE(HEIGHT, 4);
  header[8] = 4;   // bit depth
  header[9] = 3;   // indexed colour
  header[10] = 0;  // deflate
  header[11] = 0;  // adaptive filtering
  header[12] = 0;  // no interlace
  const palette = Buffer.from(PALETTE.flat());
  const stride = Math.ceil(WIDTH / 2);
  const raw = Buffer.alloc((stride + 1) * HEIGHT);
  for (let y = 0; y < HEIGHT; y++) {
    const rowStart = y * (stride + 1);
    raw[rowStart] = 0;  // filter type None
    for (let x = 0; x < WIDTH; x += 2) {
      const high = pixels[y * WIDTH + x];
      const low = x + 1 < WIDTH ? pixels[y * WIDTH + x + 1] : 0;
      raw[rowStart + 1 + x / 2] = (high << 4) | low;
    }
  }
  return Buffer.concat([
    Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    pngChunk("IHDR", header),
    pngChunk("PLTE", palette),
    pngChunk("IDAT", zlib.deflateSync(raw, { level: 9 })),
    pngChunk("IEND", Buffer.alloc(0)),
  ]);
}

render();
const png = /\.png$/i.test(ARGS.output);
fs.writeFileSync(ARGS.output, png ? encodePng() : encodeBmp());
console.log(`wrote ${ARGS.output} (${WIDTH} x ${HEIGHT}, 16 colours, ${png ? "PNG" : "BMP"})`);
