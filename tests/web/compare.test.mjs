// The comparison itself: a mask that hid too much, or a difference left uncounted, would let a
// wrong page pass.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { inflateSync } from 'node:zlib';
import { comparePictures, maskOf } from './compare.mjs';
import { crc32, encodePng } from './png.mjs';

const W = 8;
const H = 6;
const picture = () => Buffer.alloc(W * H * 4, 7);

test('the mask covers each rectangle exactly, fractions outwards, clipped to the picture', () => {
  const cases = [
    { rect: [2, 1, 3, 2], inside: [[2, 1], [4, 2]], outside: [[1, 1], [5, 1], [2, 3], [2, 0]] },
    { rect: [1.5, 0.5, 1, 1], inside: [[1, 0], [2, 1]], outside: [[3, 0], [0, 0], [1, 2]] },
    { rect: [-3, -3, 5, 5], inside: [[0, 0], [1, 1]], outside: [[2, 0], [0, 2]] },
    { rect: [6, 4, 10, 10], inside: [[7, 5], [6, 4]], outside: [[5, 5], [7, 3]] },
  ];
  for (const { rect, inside, outside } of cases) {
    const mask = maskOf(W, H, [rect]);
    for (const [x, y] of inside) assert.equal(mask[y * W + x], 1, `${rect}: ${x},${y} in`);
    for (const [x, y] of outside) assert.equal(mask[y * W + x], 0, `${rect}: ${x},${y} out`);
  }
});

test('every channel of every pixel outside the mask counts, in reading order', () => {
  const expected = picture();
  const actual = picture();
  actual[(1 * W + 6) * 4 + 3] = 0; // alpha only
  actual[(4 * W + 0) * 4 + 1] = 9; // green only
  actual[(2 * W + 3) * 4] = 9; // inside the mask
  const result = comparePictures(W, H, expected, actual, maskOf(W, H, [[3, 2, 1, 1]]));
  assert.equal(result.count, 2);
  assert.deepEqual(result.first.map((d) => [d.x, d.y]), [[6, 1], [0, 4]]);
  assert.deepEqual(result.first[0].actual, [7, 7, 7, 0]);
});

test('the PNG holds the picture row by row', () => {
  assert.equal(crc32(Buffer.from('IEND')), 0xae426082);
  const rgba = picture();
  rgba[(H - 1) * W * 4 + 2] = 200;
  const png = encodePng(W, H, rgba);
  const length = png.readUInt32BE(33);
  assert.equal(png.toString('latin1', 37, 41), 'IDAT');
  const rows = inflateSync(png.subarray(41, 41 + length));
  assert.equal(rows.length, (W * 4 + 1) * H);
  assert.equal(rows[(H - 1) * (W * 4 + 1)], 0); // no filter
  assert.equal(rows[(H - 1) * (W * 4 + 1) + 3], 200);
});
