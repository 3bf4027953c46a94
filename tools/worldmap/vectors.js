#!/usr/bin/env node
// Writes the zoomed map's vector data, one file per Natural Earth scale
// (1:110m, 1:50m, 1:10m), for the program to read without any GeoJSON:
//
//   "NMV1", u32 layer count, then per layer
//     u8 kind (0 land fill, 1 coastline, 2 country border, 3 lake fill,
//              4 lake shore, 5 first-level border), u32 chunk count,
//     per chunk: i32 west, south, east, north (1/10000 degree),
//                u32 ring count, per ring u32 point count and the points as
//                zigzag LEB128 deltas of (longitude, latitude) in 1/10000
//                degree, the first from the chunk's south-west corner.
//
// Land is cut into cells (a polygon clipped to each cell it touches) so the
// program fills only the cells in view; outlines are cut into short runs
// with their own bounds for the same reason. Filled cells are drawn
// odd-even, so holes (the Caspian Sea) stay open. Nothing crosses +-180:
// land, lakes and lines are split there, and Antarctica's fill is closed
// along the map's bottom edge.
//
// Lakes and first-level borders come from Debian's R packages of Natural
// Earth data, exported by natural-earth-r.R: 1:50m data, in every file so
// that they show at every zoom (state borders end at lake shores).
//
// Usage: node vectors.js OUTPUT_FOLDER NATURAL_EARTH_R_JSON
//        (writes map110.bin, map50.bin, map10.bin)
"use strict";

const fs = require("fs");
const path = require("path");
const topojson = require("topojson-client");
const topojsonServer = require("topojson-server");

const UNIT = 10000;        // quantum: 1/10000 degree, about 11 m
const RUN = 128;           // points per outline run

function quantise(v) { return Math.round(v * UNIT); }

// Sutherland-Hodgman against one axis-aligned edge; `inside` and `cross`
// are given per edge.
function clipEdge(ring, inside, cross) {
  const out = [];
  for (let i = 0; i < ring.length; i++) {
    const a = ring[(i + ring.length - 1) % ring.length];
    const b = ring[i];
    const ia = inside(a), ib = inside(b);
    if (ib) {
      if (!ia) out.push(cross(a, b));
      out.push(b);
    } else if (ia) {
      out.push(cross(a, b));
    }
  }
  return out;
}

function clipRing(ring, w, s, e, n) {
  const atX = (x) => (a, b) => [x, a[1] + ((b[1] - a[1]) * (x - a[0])) / (b[0] - a[0])];
  const atY = (y) => (a, b) => [a[0] + ((b[0] - a[0]) * (y - a[1])) / (b[1] - a[1]), y];
  let r = ring;
  r = clipEdge(r, (p) => p[0] >= w, atX(w)); if (r.length < 3) return [];
  r = clipEdge(r, (p) => p[0] <= e, atX(e)); if (r.length < 3) return [];
  r = clipEdge(r, (p) => p[1] >= s, atY(s)); if (r.length < 3) return [];
  r = clipEdge(r, (p) => p[1] <= n, atY(n)); if (r.length < 3) return [];
  return r;
}

function bounds(rings) {
  let w = Infinity, s = Infinity, e = -Infinity, n = -Infinity;
  for (const ring of rings)
    for (const [x, y] of ring) {
      w = Math.min(w, x); e = Math.max(e, x); s = Math.min(s, y); n = Math.max(n, y);
    }
  return [w, s, e, n];
}

// Quantised, with repeated points dropped (quantising merges near ones).
function quantiseRing(ring) {
  const out = [];
  for (const [x, y] of ring) {
    const q = [quantise(x), quantise(y)];
    const last = out[out.length - 1];
    if (!last || last[0] !== q[0] || last[1] !== q[1]) out.push(q);
  }
  return out;
}

// Natural Earth cuts its rings at the antimeridian, but the topology can
// still join a ring across it: a step of almost 360 degrees (Chukotka, Fiji,
// Antarctica). Such a ring is unwrapped into one continuous run of
// longitudes, which may reach past +-180; a ring around a pole comes back
// shifted by 360 and is closed along that pole's edge of the map, so the
// land south of Antarctica's coast reaches the bottom edge.
function unwrapRing(ring) {
  const out = [];
  let shift = 0;
  for (let i = 0; i < ring.length; i++) {
    const [lon, lat] = ring[i];
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
    out.push([out[out.length - 1][0], poleLat], [out[0][0], poleLat], out[0]);
  }
  return out;
}

// A ring that only runs round a pole (the 1:50m land has one at 89.999 S)
// bounds nothing once the pole's ring is closed along the map's edge.
function polarSliver(ring) { return ring.every(([, lat]) => Math.abs(lat) > 89.9); }

// Each polygon's rings, unwrapped, and each ring also one and two turns of the
// globe either way, so every part that an unwrapped ring puts past +-180 is
// cut into the cells at its own place. A cell takes all the rings that reach
// it (holes too) and is filled odd-even.
function landCells(polygons, cellDegrees) {
  const cells = new Map();
  for (const polygon of polygons) {
    const rings = polygon.filter((ring) => !polarSliver(ring)).map(unwrapRing);
    for (const turn of [-720, -360, 0, 360, 720]) {
      const shifted = rings.map((ring) => ring.map(([x, y]) => [x + turn, y]));
      const [pw, ps, pe, pn] = bounds(shifted);
      if (pe <= -180 || pw >= 180) continue;
      const firstWest = Math.max(-180, Math.floor((pw + 180) / cellDegrees) * cellDegrees - 180);
      const firstSouth = Math.max(-90, Math.floor((ps + 90) / cellDegrees) * cellDegrees - 90);
      for (let cw = firstWest; cw < Math.min(pe, 180); cw += cellDegrees)
        for (let cs = firstSouth; cs < Math.min(pn, 90); cs += cellDegrees) {
          const key = `${cw},${cs}`;
          for (const ring of shifted) {
            const clipped = quantiseRing(clipRing(ring, cw, cs, cw + cellDegrees, cs + cellDegrees));
            if (clipped.length < 3) continue;
            if (!cells.has(key)) cells.set(key, []);
            cells.get(key).push(clipped);
          }
        }
    }
  }
  return [...cells.keys()].sort().map((k) => cells.get(k));
}

// A jump across the antimeridian is no line on the map: a line breaks at the
// edge, where it crosses, and goes on from the other edge. The edges Natural
// Earth cut its rings along (the antimeridian, the pole) are no coast.
function outlineRuns(lines) {
  const onCut = (a, b) =>
    (Math.abs(a[0]) === 180 && a[0] === b[0]) || (Math.abs(a[1]) > 89.9 && Math.abs(b[1]) > 89.9);
  const runs = [];
  for (const line of lines) {
    const pieces = [[]];
    for (let i = 0; i < line.length; i++) {
      const b = line[i];
      if (i > 0) {
        const a = line[i - 1];
        if (Math.abs(b[0] - a[0]) > 180) {
          const edge = a[0] > 0 ? 180 : -180;
          const bx = b[0] + 2 * edge;
          const lat = bx === a[0] ? a[1] : a[1] + ((b[1] - a[1]) * (edge - a[0])) / (bx - a[0]);
          pieces[pieces.length - 1].push([edge, lat]);
          pieces.push([[-edge, lat]]);
        }
        const piece = pieces[pieces.length - 1];
        if (piece.length > 0 && onCut(piece[piece.length - 1], b)) pieces.push([]);
      }
      pieces[pieces.length - 1].push(b);
    }
    for (const piece of pieces) {
      const q = quantiseRing(piece);
      for (let start = 0; start + 1 < q.length; start += RUN - 1) runs.push([q.slice(start, start + RUN)]);
    }
  }
  return runs;
}

class Writer {
  constructor() { this.bytes = []; }
  u8(v) { this.bytes.push(v & 0xff); }
  u32(v) { for (let i = 0; i < 4; i++) this.bytes.push((v >>> (8 * i)) & 0xff); }
  i32(v) { this.u32(v >>> 0); }
  varint(v) {
    let z = v >= 0 ? v * 2 : -v * 2 - 1;
    while (z >= 0x80) { this.bytes.push((z & 0x7f) | 0x80); z = Math.floor(z / 128); }
    this.bytes.push(z);
  }
  chunk(rings) {
    let w = Infinity, s = Infinity, e = -Infinity, n = -Infinity;
    for (const ring of rings) for (const [x, y] of ring) {
      w = Math.min(w, x); e = Math.max(e, x); s = Math.min(s, y); n = Math.max(n, y);
    }
    this.i32(w); this.i32(s); this.i32(e); this.i32(n);
    this.u32(rings.length);
    for (const ring of rings) {
      this.u32(ring.length);
      let px = w, py = s;
      for (const [x, y] of ring) { this.varint(x - px); this.varint(y - py); px = x; py = y; }
    }
  }
  layer(kind, chunks) {
    this.u8(kind);
    this.u32(chunks.length);
    for (const c of chunks) this.chunk(c);
  }
}

// The lines two first-level divisions share: their common borders, without
// the coasts and country borders they also have.
function divisionBorders(states) {
  const collection = {
    type: "FeatureCollection",
    features: states.map((rings) => ({
      type: "Feature",
      properties: {},
      geometry: { type: "MultiPolygon", coordinates: rings.map((r) => [r]) },
    })),
  };
  const topology = topojsonServer.topology({ states: collection });
  return topojson.mesh(topology, topology.objects.states, (a, b) => a !== b).coordinates;
}

function level(scale, cellDegrees, extra) {
  const land = require(`world-atlas/land-${scale}.json`);
  const countries = require(`world-atlas/countries-${scale}.json`);
  const landShape = topojson.feature(land, land.objects.land);
  const polygons = [];
  for (const f of landShape.features || [landShape]) {
    const g = f.geometry;
    if (g.type === "Polygon") polygons.push(g.coordinates);
    else if (g.type === "MultiPolygon") polygons.push(...g.coordinates);
  }
  const coast = polygons.flat();
  const borders = topojson.mesh(countries, countries.objects.countries, (a, b) => a !== b).coordinates;
  const out = new Writer();
  for (const c of "NMV1") out.u8(c.charCodeAt(0));
  out.u32(6);
  out.layer(0, landCells(polygons, cellDegrees));
  out.layer(1, outlineRuns(coast));
  out.layer(2, outlineRuns(borders));
  // Each lake ring on its own: islands fill odd-even as holes in their lake.
  out.layer(3, landCells(extra.lakes.map((ring) => [ring]), cellDegrees));
  out.layer(4, outlineRuns(extra.lakes.map((ring) => [...ring, ring[0]])));
  out.layer(5, outlineRuns(extra.borders));
  return Buffer.from(out.bytes);
}

const [folder, fromR] = process.argv.slice(2);
if (!folder || !fromR) {
  console.error("usage: node vectors.js OUTPUT_FOLDER NATURAL_EARTH_R_JSON");
  process.exit(2);
}
const r = JSON.parse(fs.readFileSync(fromR, "utf8"));
const extra = { lakes: r.lakes, borders: divisionBorders(r.states) };
for (const [scale, cell] of [["110m", 30], ["50m", 10], ["10m", 5]]) {
  const bytes = level(scale, cell, extra);
  const file = path.join(folder, `map${scale.replace("m", "")}.bin`);
  fs.writeFileSync(file + ".tmp", bytes);
  fs.renameSync(file + ".tmp", file);
  console.log(`${file}: ${bytes.length} bytes`);
}
