#!/usr/bin/env node
// Renders the map window's world picture (540 x 341, 16 colours, 4 bits per
// pixel BMP) from Natural Earth 1:110m land and country outlines.
//
// Land goes through the same projection the program uses for its station
// points, x = 20 + trunc(mapLon * 499 / 360), y = 45 + trunc(mapColat * 249 / 180),
// so a station's point lands on its coast. The graticule uses the fixed pixel
// columns and rows the map window is laid out with.
//
// Usage: node render.js OUTPUT.bmp
"use strict";

const fs = require("fs");
const topojson = require("topojson-client");
const world = require("world-atlas/countries-110m.json");

const WIDTH = 540;
const HEIGHT = 341;

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

// The projection's rectangle: x 20..519, y 45..294.
const MAP_LEFT = 20;
const MAP_TOP = 45;
const MAP_RIGHT = 520;   // exclusive
const MAP_BOTTOM = 295;  // exclusive

const MERIDIAN_COLUMNS = [21, 63, 104, 146, 187, 229, 270, 311, 353, 394, 436, 477, 519];
const PARALLEL_ROWS = [46, 88, 129, 170, 212, 253, 295];

// Continuous pixel coordinates; the pixel that holds a point is their floor.
function projectX(lon) { return MAP_LEFT + ((180 + lon) * 499) / 360; }
function projectY(lat) { return MAP_TOP + ((90 - lat) * 249) / 180; }

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

function drawText(left, top, text, colour) {
  for (let c = 0; c < text.length; c++) {
    const glyph = GLYPHS[text[c]];
    for (let row = 0; row < GLYPH_HEIGHT; row++) {
      for (let col = 0; col < 3; col++) {
        if (glyph[row][col] === "1") setPixel(left + c * GLYPH_ADVANCE + col, top + row, colour);
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
  for (const x of MERIDIAN_COLUMNS) {
    for (let y = PARALLEL_ROWS[0]; y <= PARALLEL_ROWS[PARALLEL_ROWS.length - 1]; y++) setPixel(x, y, BLACK);
  }
  for (const y of PARALLEL_ROWS) {
    for (let x = MERIDIAN_COLUMNS[0]; x <= MERIDIAN_COLUMNS[MERIDIAN_COLUMNS.length - 1]; x++) setPixel(x, y, BLACK);
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

  // One-pixel border around the whole picture.
  for (let x = 0; x < WIDTH; x++) {
    setPixel(x, 0, BLACK);
    setPixel(x, HEIGHT - 1, BLACK);
  }
  for (let y = 0; y < HEIGHT; y++) {
    setPixel(0, y, BLACK);
    setPixel(WIDTH - 1, y, BLACK);
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

const output = process.argv[2];
if (!output) {
  console.error("usage: node render.js OUTPUT.bmp");
  process.exit(2);
}
render();
fs.writeFileSync(output, encodeBmp());
console.log(`wrote ${output} (${WIDTH} x ${HEIGHT}, 16 colours)`);
